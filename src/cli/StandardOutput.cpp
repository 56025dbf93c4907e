#include "cli/StandardOutput.h"

#include <cerrno>
#include <unistd.h>

qint64 StandardOutput::writeData(const char* data, qint64 size) {
    if (m_errno) return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(STDOUT_FILENO, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_errno = n < 0 ? errno : EIO;
            return -1;
        }
        done += n;
    }
    return done;
}
