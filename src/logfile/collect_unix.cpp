#include "logfile/logfile.h"

#include "logfile/openlock_unix.h"
#include "logfile/pathwalk_unix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

using namespace posix;

namespace {

constexpr int terminationSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM};

// While records are being moved, a request to end (Ctrl+C, a logout, kill)
// waits: the copy notices it and stops cleanly, and the few calls that put
// the copy in place and remove the log are never cut in two. The signal
// takes effect once the collect is over. A file-size limit makes the
// write fail (EFBIG) rather than end the program without a word.
class DeferredTermination
{
public:
    DeferredTermination()
    {
        sigset_t deferred;
        sigemptyset(&deferred);
        for (const int signal : terminationSignals)
            sigaddset(&deferred, signal);
        ::pthread_sigmask(SIG_BLOCK, &deferred, &m_previousMask);
        struct sigaction ignore{};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &m_previousFileSize);
    }
    ~DeferredTermination()
    {
        ::sigaction(SIGXFSZ, &m_previousFileSize, nullptr);
        ::pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    }
    DeferredTermination(const DeferredTermination &) = delete;
    DeferredTermination &operator=(const DeferredTermination &) = delete;

    static bool requested()
    {
        sigset_t pending;
        if (::sigpending(&pending) != 0)
            return false;
        return std::any_of(std::begin(terminationSignals), std::end(terminationSignals),
                           [&pending](int signal) { return sigismember(&pending, signal) == 1; });
    }

private:
    sigset_t m_previousMask{};
    struct sigaction m_previousFileSize{};
};

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
int renameNoReplace(int fromFolder, const std::string &from, int toFolder, const std::string &to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
#endif
    if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) != 0)
        return errno;
    if (::unlinkat(fromFolder, from.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(toFolder, to.c_str(), 0);
        return error;
    }
    return 0;
}

struct Failure
{
    int error = 0;
    bool atDestination = false;
};

// Copies the log to a hidden name beside the destination, readable by the
// collector alone; the hidden name in `aside`.
Failure copyAside(int fd, off_t size, int folder, const std::string &name, std::string &aside)
{
    const int copy = createHidden(folder, name, O_WRONLY, aside);
    if (copy < 0)
        return {errno, true};
    Descriptor closing(copy);
    bool writing = false;
    Failure failure{readAll(fd, size, [copy, &writing](const char *bytes, std::size_t length) {
                        if (DeferredTermination::requested())
                            return EINTR;
                        writing = writeAll(copy, bytes, length) != length;
                        return writing ? errno : 0;
                    }),
                    false};
    failure.atDestination = writing;
    if (failure.error == 0 && ::fdatasync(copy) != 0)
        failure = {errno, true};
    closing.reset();
    return failure;
}

void flushFolder(int folder)
{
    // A folder reached with O_PATH cannot be synced: open it for that.
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

CollectOutcome failed(int error, bool atDestination = false)
{
    CollectOutcome outcome =
        CollectOutcome::failed(error == EINTR ? reasons::interrupted : systemReason(error), atDestination);
    outcome.destinationExists = error == EEXIST && atDestination;
    return outcome;
}

// Why a log that belongs to `owner` is not the pupil's its name says (a file
// planted under a classmate's name), or nothing when it is.
std::optional<std::string> foreignOwner(uid_t owner, const CollectRules &rules)
{
    if (rules.expectedOwner.empty() || accountName(owner) == rules.expectedOwner)
        return std::nullopt;
    return "il appartient à " + accountName(owner) + ", pas à " + rules.expectedOwner;
}

CollectOutcome plantedOutcome(std::string why)
{
    CollectOutcome outcome = CollectOutcome::failed(std::move(why));
    outcome.planted = true;
    return outcome;
}

// The folder the destination goes in, the destination itself not there yet.
WalkedPath destinationFolder(const std::filesystem::path &destination, CollectOutcome &failure)
{
    WalkedPath target = walkPath(destination, false);
    struct stat there{};
    if (!target.failure.empty())
        failure = CollectOutcome::failed(target.failure, true);
    else if (target.error != 0)
        failure = failed(target.error, true);
    else if (::fstatat(target.folder.get(), target.name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0)
        failure = failed(EEXIST, true);
    return target;
}

// Whether the log at its name is still the file open as `fd`, `size` bytes
// long: nothing was appended since it was read.
bool unchangedSince(int fd, off_t size, const LockedLog &locked)
{
    struct stat there{};
    return sameFile(fd, locked.folder.get(), locked.name)
           && ::fstatat(locked.folder.get(), locked.name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0
           && there.st_size == size;
}

// Copies the log beside the destination, renames the copy into place, then
// removes the log: an interruption leaves every record in one of the two.
// 0, or the error with whether the destination was at fault.
Failure copyThenRemove(LockedLog &locked, off_t size, const WalkedPath &target)
{
    const int fd = locked.file.get();
    std::string aside;
    const Failure copied = copyAside(fd, size, target.folder.get(), target.name, aside);
    if (copied.error != 0 || DeferredTermination::requested()) {
        ::unlinkat(target.folder.get(), aside.c_str(), 0);
        return copied.error != 0 ? copied : Failure{EINTR, false};
    }
    // The copy keeps the log's time: when the pupil last wrote, not when it was collected.
    struct stat status{};
    if (::fstat(fd, &status) == 0) {
        const struct timespec times[2] = {status.st_atim, status.st_mtim};
        ::utimensat(target.folder.get(), aside.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    if (const int error = renameNoReplace(target.folder.get(), aside, target.folder.get(), target.name)) {
        ::unlinkat(target.folder.get(), aside.c_str(), 0);
        return {error, true};
    }
    // The records are in the destination now: the log must go, or the
    // copy, so that no record is in both.
    int error = sameFile(fd, locked.folder.get(), locked.name) ? 0 : ESTALE;
    if (error == 0 && ::unlinkat(locked.folder.get(), locked.name.c_str(), 0) != 0)
        error = errno;
    // A share that will not remove a file still open: closed first. Its
    // lock kept out no other machine anyway.
    if (error == EBUSY && unchangedSince(fd, size, locked)) {
        locked.file.reset();
        error = removeClosed(locked.folder.get(), locked.name);
    }
    if (error != 0)
        ::unlinkat(target.folder.get(), target.name.c_str(), 0);
    return {error, false};
}

// Moves the locked log to the destination: renamed where it is the
// collector's own and on the same disk, copied otherwise.
Failure moveLog(LockedLog &locked, const struct stat &status, const WalkedPath &target)
{
    struct stat targetFolder{};
    const bool renamable = status.st_uid == ::geteuid() && ::fstat(target.folder.get(), &targetFolder) == 0
                           && targetFolder.st_dev == status.st_dev;
    const int error =
        renamable ? renameNoReplace(locked.folder.get(), locked.name, target.folder.get(), target.name) : EXDEV;
    if (error == 0) {
        ::fchmod(locked.file.get(), 0600);
        return {};
    }
    if (error == EXDEV || error == EPERM || error == EOPNOTSUPP)
        return copyThenRemove(locked, status.st_size, target);
    return {error, ::faccessat(target.folder.get(), ".", W_OK | X_OK, 0) != 0};
}

// A file under a pupil's name that is somebody else's is told apart before
// waiting for its lock: its owner could hold that lock for ever, and under
// many names.
std::optional<std::string> plantedBeforeLocking(const std::filesystem::path &log, const CollectRules &rules)
{
    if (rules.expectedOwner.empty())
        return std::nullopt;
    const WalkedPath walked = walkPath(log, false);
    struct stat before{};
    if (!walked.ok() || ownersMayBeHidden(walked.folder.get())
        || ::fstatat(walked.folder.get(), walked.name.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return foreignOwner(before.st_uid, rules);
}

} // namespace

CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait, const CollectRules &rules)
{
    const DeferredTermination deferred;
    CollectOutcome outcome;
    const WalkedPath target = destinationFolder(destination, outcome);
    if (!outcome.reason.empty())
        return outcome;
    if (std::optional<std::string> planted = plantedBeforeLocking(log, rules))
        return plantedOutcome(std::move(*planted));

    OpenRules reading;
    reading.readOnly = true;
    LockedLog locked = openAndLock(log, Clock::now() + lockWait, reading);
    if (locked.missing) {
        outcome.ok = outcome.noLog = true;
        return outcome;
    }
    if (!locked.failure.empty())
        return CollectOutcome::failed(locked.failure);
    struct stat status{};
    if (::fstat(locked.file.get(), &status) != 0)
        return failed(errno);
    outcome.ownerUnverified = !rules.expectedOwner.empty() && ownersMayBeHidden(locked.file.get());
    if (std::optional<std::string> planted = outcome.ownerUnverified ? std::nullopt : foreignOwner(status.st_uid, rules))
        return plantedOutcome(std::move(*planted));
    if (shared::isSparse(status.st_size, status.st_blocks))
        return plantedOutcome(shared::sparseReason(status.st_size, status.st_blocks));
    shared::RecordCounter counter;
    if (const int error = readAll(locked.file.get(), status.st_size, [&](const char *bytes, std::size_t length) {
            counter.add(bytes, length);
            if (rules.observe)
                rules.observe(bytes, length);
            return 0;
        }))
        return failed(error);
    if (const Failure moved = moveLog(locked, status, target); moved.error != 0)
        return failed(moved.error, moved.atDestination);
    flushFolder(target.folder.get());
    flushFolder(locked.folder.get());
    outcome.ok = true;
    outcome.records = static_cast<int>(counter.records());
    return outcome;
}

} // namespace logfile
