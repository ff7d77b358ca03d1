#include "results/appendfile.h"

#include "results/logfile_unix.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

using namespace posix;

namespace {

// Reads the whole log in pieces, handing each to `take`; 0, or the error
// that stopped it. A log that ends before `size` is an error too: the count
// or the copy would be short.
template <typename Take>
int readAll(int fd, off_t size, Take take)
{
    char buffer[65536];
    for (off_t at = 0; at < size;) {
        // No further than the size measured under the lock.
        const auto wanted = static_cast<std::size_t>(std::min<off_t>(sizeof buffer, size - at));
        const ssize_t read = ::pread(fd, buffer, wanted, at);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return errno;
        if (read == 0)
            return EIO;
        if (const int error = take(buffer, static_cast<std::size_t>(read)))
            return error;
        at += read;
    }
    return 0;
}

// Renames without replacing an existing destination. Linux says so in one
// call; elsewhere, and on a Linux file system that cannot, a hard link
// (which never replaces anything either) and the removal of the old name.
int renameNoReplace(const std::filesystem::path &from, const std::filesystem::path &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

struct Failure
{
    int error = 0;
    bool atDestination = false;
};

// Across file systems: copy, flush, and only then remove the log. A copy
// that cannot be completed is taken away again, and the log stays.
Failure copyThenRemove(const std::filesystem::path &log, int fd, off_t size,
                       const std::filesystem::path &destination)
{
    const int copy = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (copy < 0)
        return {errno, true};
    bool writing = false;
    Failure failure{readAll(fd, size, [copy, &writing](const char *bytes, std::size_t length) {
                        writing = writeAll(copy, bytes, length) != length;
                        return writing ? errno : 0;
                    }),
                    false};
    failure.atDestination = writing;
    if (failure.error == 0 && ::fdatasync(copy) != 0)
        failure = {errno, true};
    if (::close(copy) != 0 && failure.error == 0)
        failure = {errno, true};
    if (failure.error == 0 && ::unlink(log.c_str()) != 0)
        failure = {errno, false};
    if (failure.error != 0)
        ::unlink(destination.c_str());
    return failure;
}

// Whether a rename's failure is the destination's: its folder is where we
// may not write.
bool destinationFolderRefuses(const std::filesystem::path &destination)
{
    const std::filesystem::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
    return ::access(folder.c_str(), W_OK | X_OK) != 0;
}

void flushFolderOf(const std::filesystem::path &file)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

CollectOutcome failed(int error, bool atDestination = false)
{
    CollectOutcome outcome;
    outcome.destinationExists = error == EEXIST;
    outcome.destinationAtFault = atDestination || outcome.destinationExists;
    outcome.reason = systemReason(error);
    return outcome;
}

} // namespace

CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait)
{
    struct stat there{};
    if (::lstat(destination.c_str(), &there) == 0)
        return failed(EEXIST);
    // A link of the user's own at the log's path leads to the shared log:
    // that is what is collected, and the link stays for the next records.
    std::filesystem::path target = log;
    int error = 0;
    if (lookAtPath(log, error) == PathState::OwnLink) {
        if (char *resolved = ::realpath(log.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }

    CollectOutcome outcome;
    LockedLog locked = openAndLock(target, Clock::now() + lockWait, false);
    if (locked.missing) {
        outcome.ok = outcome.noLog = true;
        return outcome;
    }
    if (!locked.failure.empty()) {
        outcome.reason = locked.failure;
        return outcome;
    }
    const int fd = locked.file.get();
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return failed(errno);
    shared::RecordCounter counter;
    error = readAll(fd, status.st_size, [&counter](const char *bytes, std::size_t length) {
        counter.add(bytes, length);
        return 0;
    });
    if (error != 0)
        return failed(error);

    error = renameNoReplace(target, destination);
    if (error == EXDEV || error == EPERM || error == EOPNOTSUPP) {
        const Failure copied = copyThenRemove(target, fd, status.st_size, destination);
        if (copied.error != 0)
            return failed(copied.error, copied.atDestination);
    } else if (error != 0) {
        return failed(error, destinationFolderRefuses(destination));
    }
    flushFolderOf(destination);
    flushFolderOf(target);
    outcome.ok = true;
    outcome.records = static_cast<int>(counter.records());
    return outcome;
}

} // namespace logfile
