#pragma once
// Qt warns on stderr when XDG_RUNTIME_DIR is missing or unusable, which is
// the normal case in cron jobs, containers and ssh sessions. The tool then
// gets a private runtime folder of its own for the length of the run, so that
// a successful run writes nothing but its own output.

#include <QTemporaryDir>
#include <memory>

class PrivateRuntimeDir {
public:
    // Call before the application object is made.
    PrivateRuntimeDir();

    bool active() const { return m_dir != nullptr; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};
