#include "cli/PrivateRuntimeDir.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The checks Qt makes before it accepts the folder: ours, and ours alone.
// A link is not followed: one put there by someone else must not lead us
// into a folder of theirs.
bool usableRuntimeDir(const QByteArray& path, bool followLink) {
    if (path.isEmpty()) return false;
    struct stat st {};
    if ((followLink ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st)) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

}  // namespace

PrivateRuntimeDir::PrivateRuntimeDir() {
    if (usableRuntimeDir(qgetenv("XDG_RUNTIME_DIR"), true)) return;
    const QByteArray shared = QFile::encodeName(QDir::tempPath()) + "/faltarillon-cli-" + QByteArray::number(::geteuid());
    // mkdir under a umask can only take bits away; the check after it sees
    // whether the folder, new or left by an earlier run, is fit to use.
    if (::mkdir(shared.constData(), 0700) == 0) {
        // Made just now: a umask that took the owner's bits is undone.
        ::chmod(shared.constData(), 0700);
    } else if (errno != EEXIST) {
        // Nothing to reuse (the temporary folder is not writable): Qt then
        // falls back to its own folder and says so.
        return;
    }
    if (usableRuntimeDir(shared, false)) {
        m_path = shared;
    } else {
        QByteArray fresh = shared + "-XXXXXX";
        if (!::mkdtemp(fresh.data())) return;
        m_path = fresh;
        m_fresh = true;
    }
    qputenv("XDG_RUNTIME_DIR", m_path);
}

PrivateRuntimeDir::~PrivateRuntimeDir() {
    if (m_path.isEmpty()) return;
    // The shared folder only when empty: another run may be using it.
    if (m_fresh) QDir(QFile::decodeName(m_path)).removeRecursively();
    else ::rmdir(m_path.constData());
}
