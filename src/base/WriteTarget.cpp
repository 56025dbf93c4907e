#include "base/WriteTarget.h"

#include "base/ErrnoText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

QString writeTargetProblem(const QString& path) {
    if (path.isEmpty()) return errnoText(ENOENT);
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return isFolderText();
        if (!S_ISREG(st.st_mode)) return notRegularFileText();
        // Root may write any file, but a file without a write bit was made
        // read-only on purpose: nobody's save replaces it.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return writeProtectedText();
        if (::access(native.constData(), W_OK) != 0) return errnoText(errno);
        return QString();
    }
    if (errno != ENOENT) return errnoText(errno);
    // A new file: its folder must be there (a dangling link's target folder
    // is the open's business).
    struct stat link {};
    if (::lstat(native.constData(), &link) == 0) return QString();
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat dir {};
    if (::stat(folder.constData(), &dir) != 0) return errnoText(errno);
    if (!S_ISDIR(dir.st_mode)) return errnoText(ENOTDIR);
    return QString();
}
