#include "base/SaveFile.h"

#include "base/ErrnoText.h"
#include "base/WriteTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <memory>
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

bool openForWriting(QSaveFile& file, bool inPlace) {
    file.setDirectWriteFallback(inPlace);
    errno = 0;
    return file.open(QIODevice::WriteOnly);
}

}  // namespace

QString contentFailedText() { return QStringLiteral("Inhalt konnte nicht erzeugt werden"); }

SaveResult saveFile(const QString& path, const DeviceWriter& write, SaveMode mode) {
    const QString problem = writeTargetProblem(path);
    if (!problem.isEmpty()) return failed(problem, false, false);

    auto opened = std::make_unique<QSaveFile>(path);
    bool inPlace = false;
    if (!openForWriting(*opened, false)) {
        const int openErrno = errno;
        // Only an existing file can be written in place; a new one in such
        // a folder cannot be made at all.
        if (mode != SaveMode::InPlaceWhenFolderRefuses || !QFileInfo(path).isFile())
            return failed(openFailure(path, openErrno), false, false);
        opened = std::make_unique<QSaveFile>(path);
        if (!openForWriting(*opened, true)) return failed(openFailure(path, errno), false, false);
        inPlace = true;
    }
    QSaveFile& file = *opened;

    CheckedDevice device(file);
    const bool made = write(device);
    if (device.failedErrno() != 0 || !made) {
        file.cancelWriting();
        if (device.failedErrno() != 0) return failed(errnoText(device.failedErrno()), inPlace);
        SaveResult gaveUp = failed(contentFailedText(), inPlace);
        gaveUp.contentFailed = true;
        return gaveUp;
    }
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const int err = errno != 0 ? errno : EIO;
        file.cancelWriting();
        return failed(errnoText(err), inPlace);
    }
    errno = 0;
    if (!file.commit()) return failed(errnoText(errno != 0 ? errno : EIO), inPlace);
    SaveResult ok;
    ok.ok = true;
    ok.opened = true;
    ok.inPlace = inPlace;
    return ok;
}

SaveResult saveFile(const QString& path, const QByteArray& bytes, SaveMode mode) {
    return saveFile(path, [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); }, mode);
}
