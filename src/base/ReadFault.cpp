#include "base/ReadFault.h"

#include "base/ErrnoText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString undecodablePictureText() { return QStringLiteral("Bild beschädigt oder in unbekanntem Format"); }

QString pictureFaultText(const QString& path) {
    const QString fault = readFaultText(path);
    return fault.isEmpty() ? undecodablePictureText() : fault;
}

QString readFaultText(const QString& path) {
    if (path.isEmpty()) return fileNotFoundText();
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // ENOENT names both a missing file and a missing folder on its way.
        if (err == ENOENT && QFileInfo(QFileInfo(path).absolutePath()).isDir()) return fileNotFoundText();
        return errnoText(err);
    }
    struct stat st {};
    const bool statted = ::fstat(fd, &st) == 0;
    const int err = errno;
    ::close(fd);
    if (!statted) return errnoText(err);
    if (S_ISDIR(st.st_mode)) return isFolderText();
    if (!S_ISREG(st.st_mode)) return notRegularFileText();
    return QString();
}
