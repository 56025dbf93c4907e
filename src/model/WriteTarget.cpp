#include "model/WriteTarget.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>

bool isReplaceableFile(const QString& path) {
    if (path.isEmpty()) return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        // Nothing there yet; a dangling link or a missing folder is left to
        // the open, which reports it.
        return errno == ENOENT;
    }
    return S_ISREG(st.st_mode);
}
