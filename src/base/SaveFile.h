#pragma once
// The one way a file is written, by the program and by every CLI verb. A
// failed save leaves the old file as it was and no temporary file behind,
// and says why in the wording of base/ErrnoText.h, so the caller can put
// "PATH: Grund" into its message.
//
//   const SaveResult saved = saveFile(path, [&](QIODevice& out) {
//       return QImageWriter(&out, "png").write(picture);
//   });
//   if (!saved) tell(path + ": " + saved.reason);
//
// The target must be a regular file or new (base/WriteTarget.h). The bytes
// go to a temporary file beside it, which takes the old file's mode (and,
// as root, its owner and group), every write is checked, and before the
// rename the data is flushed and the file's error state read: QSaveFile's own
// commit() misses a write error of its final flush, which on a full disk
// left an empty file reported as saved.

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

enum class SaveMode {
    Atomic,   // the old file is replaced only by a complete new one
    // A writable file in a folder that takes no temporary file is written
    // straight over, its new length reserved first: no room keeps the old
    // file; only a write failing after that (an I/O error) loses it.
    InPlaceWhenFolderRefuses,
};

struct SaveResult {
    bool ok = false;
    bool opened = false;         // the target was accepted and opened: a failure came while writing
    bool contentFailed = false;  // the writer gave up, no write failed (reason: contentFailedText())
    bool inPlace = false;        // written over the old file (see SaveMode); on failure: the old one is lost
    QString reason;              // German, empty when ok

    explicit operator bool() const { return ok; }
};

// Writes the file's contents into the device it is given; false when it
// could not make them. A failed write of the device also counts as failure.
using DeviceWriter = std::function<bool(QIODevice&)>;

SaveResult saveFile(const QString& path, const DeviceWriter& write, SaveMode mode = SaveMode::Atomic);
SaveResult saveFile(const QString& path, const QByteArray& bytes, SaveMode mode = SaveMode::Atomic);

// The reason saveFile gives when the writer itself gave up with no write
// having failed.
QString contentFailedText();
