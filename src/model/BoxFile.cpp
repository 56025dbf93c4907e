#include "model/BoxFile.h"

#include "base/ErrnoText.h"
#include "base/ReadFault.h"
#include "base/SaveFile.h"

#include "model/BoxFileFormat.h"
#include "model/BoxFileReader.h"
#include "model/BoxFileExtension.h"
#include "model/BoxFileWriter.h"
#include "model/SeriesFields.h"
#include "model/SharedPictures.h"
#include "model/StoredImage.h"
#include "model/TransparentValue.h"
#include "base/WriteTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

enum class ReadOutcome { Ok, CannotOpen, TooLarge };

// What the command line says after the file's name when it is no box file.
QString damagedReason(const QString& detail) {
    QString reason = QStringLiteral("Datei beschädigt: ") + detail;
    if (reason.endsWith(QLatin1Char('.'))) reason.chop(1);
    return reason;
}

// Reads a whole regular file. The type is checked on the opened descriptor;
// O_NONBLOCK keeps a FIFO from blocking the open itself.
ReadOutcome readRegularFile(const QString& path, QByteArray& data) {
    if (path.isEmpty()) return ReadOutcome::CannotOpen;
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return ReadOutcome::CannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadOutcome::CannotOpen;
    }
    if (st.st_size > boxfile::kMaxFileSize) {
        ::close(fd);
        return ReadOutcome::TooLarge;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return ReadOutcome::CannotOpen;
    }
    // The buffer is the file's size (a read of the limit would reserve the
    // limit for every small file); a file that grows meanwhile is read on,
    // still no more than the limit.
    data = file.read(qint64(st.st_size) + 1);
    if (file.error() == QFileDevice::NoError && data.size() > st.st_size)
        data.append(file.read(boxfile::kMaxFileSize + 1 - data.size()));
    if (file.error() != QFileDevice::NoError) return ReadOutcome::CannotOpen;
    if (data.size() > boxfile::kMaxFileSize) return ReadOutcome::TooLarge;
    return ReadOutcome::Ok;
}

void reportMissingPicture(Prompter& prompter, const QString& stored, const QString& boxPath,
                          const QString& programFolder) {
    prompter.fileFault(QString(), boxmsg::imageMissingText(stored), stored,
                       storedImageFault(stored, boxPath, programFolder), PromptIcon::Error);
}

// Every picture of the document through one SharedPictures: a file named by
// many objects is decoded once. A path that cannot be loaded is reported
// once however many objects name it, and the pictures left out for the
// budget are counted in one message at the end. Without a progress bar to
// feed (the command line, thumbnails) the files are decoded side by side on
// the render pool first; what is reported stays in the document's order.
void loadPictures(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress,
                  int shortestSide, bool dataGiven) {
    SharedPictures pictures(path, doc.ProgramFolder, shortestSide);
    const bool withBackground = doc.BackgroundMode != bgNone && !doc.BackgroundFile.isEmpty();
    if (!progress) {
        QStringList stored;
        if (withBackground) stored << doc.BackgroundFile;
        for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
            if (doc.Objects[slot].Kind == Image) stored << doc.Objects[slot].Content;
        pictures.prefetch(stored);
    }
    QSet<QString> reported;
    int leftOut = 0;
    // The progress bar shows what the image library reports while it reads
    // and turns pictures; each read and each turn ends it at 0.
    auto load = [&](const QString& stored, int turns, DibHandle& picture) {
        // A name with fields names each row's own picture, loaded when a
        // row is shown; without data it is a missing file as any other.
        if ((doc.Series.linked() || dataGiven) && !fieldNames(stored).isEmpty()) return false;
        switch (pictures.load(stored, turns, picture, progress)) {
        case SharedPictures::Outcome::Loaded: return true;
        case SharedPictures::Outcome::OverBudget: ++leftOut; return false;
        case SharedPictures::Outcome::Missing: break;
        }
        if (!reported.contains(stored)) {
            reported.insert(stored);
            reportMissingPicture(prompter, stored, path, doc.ProgramFolder);
        }
        return false;
    };
    if (withBackground) load(doc.BackgroundFile, 0, doc.BackgroundPicture);
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc.Objects[slot];
        if (o.Kind != Image) continue;
        if (load(o.Content, o.Rotation, o.Picture)) settleTransparentValue(o);
    }
    if (leftOut > 0) prompter.inform(QString(), boxmsg::picturesLeftOutText(leftOut), PromptIcon::Warning);
}

bool openBoxFile(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress,
                 int shortestSide, bool dataGiven) {
    QByteArray data;
    switch (readRegularFile(path, data)) {
    case ReadOutcome::Ok:
        break;
    case ReadOutcome::CannotOpen: {
        QString reason = readFaultText(path);
        if (reason.isEmpty()) reason = errnoText(EIO);   // opened, but the read failed
        prompter.fileFault(boxmsg::OpenFailedCaption, boxmsg::OpenFailedText, path, reason,
                           PromptIcon::Information);
        return false;
    }
    case ReadOutcome::TooLarge:
        prompter.fileFault(boxmsg::OpenFailedCaption, boxmsg::TooLargeText, path, errnoText(EFBIG),
                           PromptIcon::Information);
        return false;
    }
    if (!hasBoxIdentifier(data)) {
        prompter.fileFault(boxmsg::WrongIdCaption, boxmsg::WrongIdText, path,
                           QStringLiteral("keine Box-Datei (Dateikennung falsch)"), PromptIcon::Information);
        return false;
    }

    // The open document stays untouched until the whole file has been read.
    auto fresh = std::make_unique<BoxDocument>();
    fresh->ProgramFolder = doc.ProgramFolder;
    const BoxParseResult parsed = parseBoxDocument(data, *fresh);
    if (parsed.error == BoxParseError::NewerVersion) {
        prompter.fileFault(boxmsg::OpenFailedCaption, NewerVersionText, path, NewerVersionReason,
                           PromptIcon::Information);
        return false;
    }
    if (!parsed.ok()) {
        const QString detail = describeParseError(parsed);
        prompter.fileFault(boxmsg::DamagedCaption, boxmsg::DamagedText + QLatin1Char('\n') + detail, path,
                           damagedReason(detail), PromptIcon::Information);
        return false;
    }
    data.clear();
    fresh->Series.path = resolveSeriesPath(fresh->Series.path, path);
    loadPictures(*fresh, path, prompter, progress, shortestSide, dataGiven);

    fresh->CurrentObject = 0;
    fresh->FileName = path;
    // The fresh document counted its own changes from zero; views that
    // cached the old design by its revision must not take the file for it.
    fresh->Revision = doc.Revision + 1;
    doc = std::move(*fresh);
    return true;
}

}  // namespace

bool OpenItNow(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress) {
    return openBoxFile(doc, path, prompter, progress, 0, false);
}

bool OpenWithData(BoxDocument& doc, const QString& path, Prompter& prompter) {
    return openBoxFile(doc, path, prompter, {}, 0, true);
}

bool OpenForPreview(BoxDocument& doc, const QString& path, Prompter& prompter, int pictureShortestSide) {
    return openBoxFile(doc, path, prompter, {}, pictureShortestSide, false);
}

bool Saveit(const BoxDocument& doc, const QString& path, Prompter& prompter) {
    // Made whole in memory first: when the folder takes no temporary file,
    // a writable file is written in place, the one case that cannot be
    // atomic (the reason then says the old version is lost).
    const QByteArray data = serializeBoxDocument(doc, path);
    const SaveResult saved = saveFile(path, data, SaveMode::InPlaceWhenFolderRefuses);
    if (saved) return true;
    if (saved.opened)
        prompter.fileFault(boxmsg::WriteFailedCaption,
                           saved.inPlace ? boxmsg::WriteFailedInPlaceText : boxmsg::WriteFailedText, path,
                           saved.reason, PromptIcon::Information);
    else
        prompter.fileFault(boxmsg::CreateFailedCaption, boxmsg::CreateFailedText, path, saved.reason,
                           PromptIcon::Information);
    return false;
}
