#include "base/SaveFile.h"

#include "base/ErrnoText.h"
#include "base/LibraryStderrMute.h"
#include "base/WriteTarget.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Stands between the writer and the file so that the first failed write is
// caught with its errno, before a library's own error path can change it,
// and every later write fails at once instead of writing past a gap.
class CheckedDevice final : public QIODevice {
public:
    explicit CheckedDevice(QSaveFile& file) : m_file(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    int failedErrno() const { return m_errno; }

    bool seek(qint64 pos) override {
        if (m_errno != 0) return false;
        if (!m_file.seek(pos)) return fail();
        return QIODevice::seek(pos);
    }
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override {
        if (m_errno != 0) return -1;
        errno = 0;
        if (m_file.write(data, len) != len || m_file.error() != QFileDevice::NoError) {
            fail();
            return -1;
        }
        return len;
    }

private:
    bool fail() {
        m_errno = errno != 0 ? errno : EIO;
        return false;
    }

    QSaveFile& m_file;
    int m_errno = 0;
};

SaveResult failed(const QString& reason, bool inPlace, bool opened = true) {
    SaveResult r;
    r.opened = opened;
    r.inPlace = inPlace;
    r.reason = inPlace ? QStringLiteral("%1; direkt überschrieben, die alte Fassung ist verloren").arg(reason)
                       : reason;
    return r;
}

// Why the temporary file (or, in place, the file) could not be opened: the
// folder's own state says it more reliably than what errno the open left.
QString openFailure(const QString& path, int openErrno) {
    const QFileInfo info(path);
    const QString folder = info.exists() ? QFileInfo(info.canonicalFilePath()).absolutePath() : info.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) return errnoText(errno);
    return errnoText(openErrno != 0 ? openErrno : EIO);
}

bool openForWriting(QSaveFile& file) {
    file.setDirectWriteFallback(false);
    errno = 0;
    return file.open(QIODevice::WriteOnly);
}

// QSaveFile gives the new file the old one's permissions as Qt sees them,
// which adds the caller's own access to the owner's bits (root made 0444
// into 0644) and drops the special bits; and the new file belongs to whoever
// saves. The old file's mode, and as root its owner and group, are put back
// exactly; an ordinary user keeps at least the group where allowed.
void keepOwnerAndMode(QSaveFile& file, const QString& path) {
    struct stat old {};
    const int fd = file.handle();
    if (fd < 0 || ::stat(QFile::encodeName(path).constData(), &old) != 0) return;
    // Each step that is not allowed leaves what QSaveFile set: the file is
    // saved all the same. The owner first, as a change of owner clears the
    // set-user-ID bit.
    int refused = ::fchown(fd, ::geteuid() == 0 ? old.st_uid : uid_t(-1), old.st_gid);
    refused |= ::fchmod(fd, old.st_mode & 07777);
    Q_UNUSED(refused);
}

// The whole content, made before the old file is touched.
bool contentInMemory(const DeviceWriter& write, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return write(buffer);
}

bool writeAllAt(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Over the existing file, for a folder that takes no temporary file. Its
// new length is reserved first: where the disk has no room for it the old
// file is left as it was. Only a write that fails after that (an I/O
// error) leaves it damaged.
SaveResult saveInPlace(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return failed(openFailure(path, errno), false, false);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return failed(notRegularFileText(), false, false);
    }
    if (!bytes.isEmpty()) {
        const int reserved = ::posix_fallocate(fd, 0, off_t(bytes.size()));
        if (reserved != 0) {
            ::close(fd);
            return failed(errnoText(reserved), false);
        }
    }
    errno = 0;
    if (!writeAllAt(fd, bytes) || ::ftruncate(fd, off_t(bytes.size())) != 0) {
        const int err = errno != 0 ? errno : EIO;
        ::close(fd);
        return failed(errnoText(err), true);
    }
    // A network file system may report a failed write only here.
    if (::close(fd) != 0) return failed(errnoText(errno != 0 ? errno : EIO), true);
    SaveResult ok;
    ok.ok = true;
    ok.opened = true;
    ok.inPlace = true;
    return ok;
}

}  // namespace

QString contentFailedText() { return QStringLiteral("Inhalt konnte nicht erzeugt werden"); }

SaveResult saveFile(const QString& path, const DeviceWriter& write, SaveMode mode) {
    const QString problem = writeTargetProblem(path);
    if (!problem.isEmpty()) return failed(problem, false, false);

    QSaveFile file(path);
    if (!openForWriting(file)) {
        const int openErrno = errno;
        // Only an existing file can be written in place; a new one in such
        // a folder cannot be made at all.
        if (mode != SaveMode::InPlaceWhenFolderRefuses || !QFileInfo(path).isFile())
            return failed(openFailure(path, openErrno), false, false);
        QByteArray bytes;
        if (!contentInMemory(write, bytes)) {
            SaveResult gaveUp = failed(contentFailedText(), false);
            gaveUp.contentFailed = true;
            return gaveUp;
        }
        return saveInPlace(path, bytes);
    }
    keepOwnerAndMode(file, path);

    CheckedDevice device(file);
    bool made;
    {
        // libpng says "libpng error: Write Error" on stderr when a write
        // fails; the caller's message names the file and the reason.
        const LibraryStderrMute quiet;
        made = write(device);
    }
    if (device.failedErrno() != 0 || !made) {
        file.cancelWriting();
        if (device.failedErrno() != 0) return failed(errnoText(device.failedErrno()), false);
        SaveResult gaveUp = failed(contentFailedText(), false);
        gaveUp.contentFailed = true;
        return gaveUp;
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const int err = errno != 0 ? errno : EIO;
        file.cancelWriting();
        return failed(errnoText(err), false);
    }
    errno = 0;
    if (!file.commit()) return failed(errnoText(errno != 0 ? errno : EIO), false);
    SaveResult ok;
    ok.ok = true;
    ok.opened = true;
    return ok;
}

SaveResult saveFile(const QString& path, const QByteArray& bytes, SaveMode mode) {
    return saveFile(path, [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); }, mode);
}
