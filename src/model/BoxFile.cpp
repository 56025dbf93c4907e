#include "model/BoxFile.h"

#include "model/BoxFileFormat.h"
#include "model/BoxFileReader.h"
#include "model/BoxFileWriter.h"
#include "model/StoredImage.h"
#include "model/TransparentValue.h"
#include "model/WriteTarget.h"
#include "image/ImageRotation.h"
#include "image/RenderThreads.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

namespace {

enum class ReadOutcome { Ok, CannotOpen, TooLarge };

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
    // Read no more than the limit even if the file grows meanwhile.
    data = file.read(boxfile::kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) return ReadOutcome::CannotOpen;
    if (data.size() > boxfile::kMaxFileSize) return ReadOutcome::TooLarge;
    return ReadOutcome::Ok;
}

void turnByRotation(DibHandle& dib, std::int32_t rotation, const ProgressCallback& progress) {
    switch (rotation) {
    case 1: RotRight(dib, progress); break;
    case 2: Rot180(dib, progress); break;
    case 3: RotLeft(dib, progress); break;
    default: break;
    }
}

// Without a progress bar to feed (the command line, thumbnails) the
// pictures are decoded side by side on the render pool: a photo background
// and a few pictures take about as long as the rest of a sheet's render
// pass. What is reported and settled stays in the document's order.
void loadPicturesTogether(BoxDocument& doc, const QString& path, Prompter& prompter, int shortestSide) {
    struct Job {
        Tobs* object = nullptr;   // null: the background
        DibHandle picture;
        bool loaded = false;
    };
    std::vector<Job> jobs;
    if (doc.BackgroundMode != bgNone && !doc.BackgroundFile.isEmpty()) jobs.push_back(Job());
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot)
        if (doc.Objects[slot].Kind == Image) {
            Job job;
            job.object = &doc.Objects[slot];
            jobs.push_back(job);
        }
    const QString programFolder = doc.ProgramFolder;
    parallelFor(int(jobs.size()), [&](int i) {
        Job& job = jobs[size_t(i)];
        const QString& stored = job.object ? job.object->Content : doc.BackgroundFile;
        job.loaded = loadStoredImage(job.picture, stored, path, programFolder, shortestSide, {});
        if (job.loaded && job.object) turnByRotation(job.picture, job.object->Rotation, {});
    });
    for (Job& job : jobs) {
        if (!job.object) {
            if (job.loaded) doc.BackgroundPicture = job.picture;
            else prompter.inform(QString(), boxmsg::imageMissingText(doc.BackgroundFile), PromptIcon::Error);
        } else if (job.loaded) {
            job.object->Picture = job.picture;
            settleTransparentValue(*job.object);
        } else {
            prompter.inform(QString(), boxmsg::imageMissingText(job.object->Content), PromptIcon::Error);
        }
    }
}

void loadPictures(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress,
                  int shortestSide) {
    if (!progress) {
        loadPicturesTogether(doc, path, prompter, shortestSide);
        return;
    }

    const QString programFolder = doc.ProgramFolder;
    if (doc.BackgroundMode != bgNone && !doc.BackgroundFile.isEmpty()) {
        if (!loadStoredImage(doc.BackgroundPicture, doc.BackgroundFile, path, programFolder, shortestSide, progress))
            prompter.inform(QString(), boxmsg::imageMissingText(doc.BackgroundFile), PromptIcon::Error);
    }
    // The progress bar shows what the image library reports while it reads
    // and turns pictures; each read and each turn ends it at 0.
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = doc.Objects[slot];
        if (o.Kind != Image) continue;
        if (loadStoredImage(o.Picture, o.Content, path, programFolder, shortestSide, progress)) {
            turnByRotation(o.Picture, o.Rotation, progress);
            settleTransparentValue(o);
        } else
            prompter.inform(QString(), boxmsg::imageMissingText(o.Content), PromptIcon::Error);
    }
}

bool openBoxFile(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress,
                 int shortestSide) {
    QByteArray data;
    switch (readRegularFile(path, data)) {
    case ReadOutcome::Ok:
        break;
    case ReadOutcome::CannotOpen:
        prompter.inform(boxmsg::OpenFailedCaption, boxmsg::OpenFailedText, PromptIcon::Information);
        return false;
    case ReadOutcome::TooLarge:
        prompter.inform(boxmsg::OpenFailedCaption, boxmsg::TooLargeText, PromptIcon::Information);
        return false;
    }
    if (!hasBoxIdentifier(data)) {
        prompter.inform(boxmsg::WrongIdCaption, boxmsg::WrongIdText, PromptIcon::Information);
        return false;
    }

    // The open document stays untouched until the whole file has been read.
    auto fresh = std::make_unique<BoxDocument>();
    fresh->ProgramFolder = doc.ProgramFolder;
    const BoxParseResult parsed = parseBoxDocument(data, *fresh);
    if (!parsed.ok()) {
        prompter.inform(boxmsg::DamagedCaption,
                        boxmsg::DamagedText + QLatin1Char('\n') + describeParseError(parsed),
                        PromptIcon::Information);
        return false;
    }
    data.clear();
    loadPictures(*fresh, path, prompter, progress, shortestSide);

    fresh->CurrentObject = 0;
    fresh->FileName = path;
    doc = std::move(*fresh);
    return true;
}

}  // namespace

bool OpenItNow(BoxDocument& doc, const QString& path, Prompter& prompter, const ProgressCallback& progress) {
    return openBoxFile(doc, path, prompter, progress, 0);
}

bool OpenForPreview(BoxDocument& doc, const QString& path, Prompter& prompter, int pictureShortestSide) {
    return openBoxFile(doc, path, prompter, {}, pictureShortestSide);
}

bool Saveit(const BoxDocument& doc, const QString& path, Prompter& prompter) {
    auto createFailed = [&] {
        prompter.inform(boxmsg::CreateFailedCaption, boxmsg::CreateFailedText, PromptIcon::Information);
        return false;
    };
    // Only a regular file (or a new one) is ever replaced: never a folder, a
    // FIFO or a device, and never a write-protected file.
    const QFileInfo target(path);
    if (!isReplaceableFile(path) || (target.exists() && !target.isWritable())) return createFailed();

    // Made whole in memory first: when the folder takes no temporary file,
    // the file is written in place, the one case that cannot be atomic.
    const QByteArray data = serializeBoxDocument(doc);
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return createFailed();
    if (file.write(data) != data.size() || !file.commit()) {
        file.cancelWriting();
        prompter.inform(boxmsg::WriteFailedCaption, boxmsg::WriteFailedText, PromptIcon::Information);
        return false;
    }
    return true;
}
