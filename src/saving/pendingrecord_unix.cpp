#include "saving/pendingrecord.h"

#include "logfile/openlock_unix.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The writers' lock on the rescue log, waited for at most about two
// seconds: the session is ending, and a record written without the lock is
// better than none.
void lockBriefly(int fd)
{
    const timespec pause{0, 10'000'000};
    for (int tries = 0; tries < 200; ++tries) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR))
            return;
        ::nanosleep(&pause, nullptr);
    }
}

} // namespace

// Async-signal-safe: system calls on bytes prepared in advance, no
// allocation.
bool PendingRecord::writeRescue() const
{
    const int savedErrno = errno;
    m_folders.make();
    bool rescued = false;
    const int fd = ::open(m_rescueLog.c_str(),
                          O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                          0600);
    if (fd >= 0) {
        struct stat status{};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
            lockBriefly(fd);
            // The size again, under the lock: another rescue may have ended meanwhile.
            ::fstat(fd, &status);
            const bool lineEndFirst = logfile::shared::needsLineEndFirst(
                status.st_size, logfile::posix::lastByte(fd, status.st_size));
            const std::string_view lineEnd = logfile::shared::lineEnd;
            rescued = (!lineEndFirst
                       || logfile::posix::writeAll(fd, lineEnd.data(), lineEnd.size()) == lineEnd.size())
                      && logfile::posix::writeAll(fd, m_record.data(), m_record.size()) == m_record.size()
                      && ::fdatasync(fd) == 0;
        }
        ::close(fd);
    }
    errno = savedErrno;
    return rescued;
}

void PendingRecord::tellStandardError(const std::string &notice)
{
    const int savedErrno = errno;
    logfile::posix::writeAll(STDERR_FILENO, notice.data(), notice.size());
    errno = savedErrno;
}
