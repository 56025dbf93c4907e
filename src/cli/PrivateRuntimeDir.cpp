#include "cli/PrivateRuntimeDir.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The checks Qt makes before it accepts the folder: ours, and ours alone.
bool usableRuntimeDir(const QByteArray& path) {
    if (path.isEmpty()) return false;
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return st.st_uid == ::geteuid() && (st.st_mode & 0777) == 0700;
}

}  // namespace

PrivateRuntimeDir::PrivateRuntimeDir() {
    if (usableRuntimeDir(qgetenv("XDG_RUNTIME_DIR"))) return;
    // mkdtemp makes the folder with mode 0700, as the runtime folder must be.
    auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/faltarillon-cli-XXXXXX"));
    if (!dir->isValid()) return;  // Qt then falls back to its own folder and says so
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir->path()));
    m_dir = std::move(dir);
}
