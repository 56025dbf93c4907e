#pragma once
// Qt warns on stderr when XDG_RUNTIME_DIR is missing or unusable, which is
// the normal case in cron jobs, containers and ssh sessions. The tool then
// uses a runtime folder of its own: TMPDIR/faltarillon-cli-UID, one per
// user, mode 0700. A run that ends normally removes it when empty; one that
// is killed leaves it for the next run, which takes it again, so killed
// runs never pile up folders. Where that name is held by anything but our
// own folder of mode 0700, the run makes a fresh private folder instead.

#include <QByteArray>

class PrivateRuntimeDir {
public:
    // Call before the application object is made.
    PrivateRuntimeDir();
    ~PrivateRuntimeDir();
    PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
    PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

    bool active() const { return !m_path.isEmpty(); }

private:
    QByteArray m_path;
    bool m_fresh = false;   // made for this run alone: removed with whatever is in it
};
