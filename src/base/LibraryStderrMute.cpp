#include "base/LibraryStderrMute.h"

#include <QtGlobal>

#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex muteLock;
int muteCount = 0;
int savedStderr = -1;

}  // namespace

LibraryStderrMute::LibraryStderrMute() {
    static const bool keep = qEnvironmentVariableIntValue("FALTARILLON_DEBUG") > 0;
    if (keep) return;
    const std::lock_guard<std::mutex> lock(muteLock);
    m_active = true;
    if (muteCount++ > 0) return;
    std::fflush(stderr);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    savedStderr = nowhere >= 0 ? ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0) : -1;
    if (savedStderr >= 0) ::dup2(nowhere, STDERR_FILENO);
    if (nowhere >= 0) ::close(nowhere);
}

LibraryStderrMute::~LibraryStderrMute() {
    if (!m_active) return;
    const std::lock_guard<std::mutex> lock(muteLock);
    if (--muteCount > 0) return;
    std::fflush(stderr);
    if (savedStderr >= 0) {
        ::dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
        savedStderr = -1;
    }
}
