#include "results/appendfile.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace logfile {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view lineEnd = "\r\n";
const char *const lockedReason = "le fichier reste verrouillé par un autre programme";
const char *const notAFileReason = "ce n'est pas un fichier ordinaire";
const char *const foreignLinkReason =
    "c'est un lien symbolique qui appartient à un autre utilisateur";

AppendOutcome failure(std::string reason)
{
    return {false, std::move(reason)};
}

#ifdef _WIN32

enum class LockAttempt { Locked, Busy, Failed };

// Polls rather than blocking, so the wait has a bound without signals or
// threads; the pause grows to keep many waiting writers from spinning.
template <typename Attempt>
LockAttempt retryUntil(Clock::time_point deadline, Attempt attempt)
{
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const LockAttempt result = attempt();
        if (result != LockAttempt::Busy || Clock::now() >= deadline)
            return result;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
}

std::string systemReason(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                             0, nullptr, nullptr);
        reason.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), reason.data(), size,
                            nullptr, nullptr);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'
                                   || reason.back() == ' ' || reason.back() == '.'))
            reason.pop_back();
    }
    LocalFree(text);
    return reason.empty() ? "erreur " + std::to_string(error) : reason;
}

class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle()
    {
        if (valid())
            CloseHandle(m_handle);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Writers agree on locking one byte far beyond any data, which keeps them
// apart without stopping anybody from reading the log meanwhile.
OVERLAPPED lockRange()
{
    OVERLAPPED range{};
    range.Offset = MAXDWORD - 1;
    range.OffsetHigh = MAXDWORD;
    return range;
}

// The writers' lock on an open log, taken before `deadline` or not at all,
// and let go when it goes out of scope.
class WritersLock
{
public:
    WritersLock(HANDLE file, Clock::time_point deadline) : m_file(file)
    {
        DWORD error = 0;
        const LockAttempt lock = retryUntil(deadline, [&] {
            OVERLAPPED range = lockRange();
            if (LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
                return LockAttempt::Locked;
            error = GetLastError();
            return error == ERROR_LOCK_VIOLATION ? LockAttempt::Busy : LockAttempt::Failed;
        });
        m_locked = lock == LockAttempt::Locked;
        if (!m_locked)
            m_failure = lock == LockAttempt::Busy ? lockedReason : systemReason(error);
    }
    ~WritersLock()
    {
        OVERLAPPED range = lockRange();
        if (m_locked)
            UnlockFileEx(m_file, 0, 1, 0, &range);
    }
    WritersLock(const WritersLock &) = delete;
    WritersLock &operator=(const WritersLock &) = delete;
    // Empty once locked.
    const std::string &failure() const { return m_failure; }

private:
    HANDLE m_file;
    bool m_locked = false;
    std::string m_failure;
};

// Append-only access: every write lands at the end of the file, whoever
// else is writing; the log is shared for reading and writing. Reading its
// attributes (its size) is allowed even where reading its data is not.
HANDLE openForAppend(const std::filesystem::path &log, DWORD extraAccess)
{
    return CreateFileW(log.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE | extraAccess,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool truncateTo(const std::filesystem::path &log, LARGE_INTEGER size)
{
    // The append-only handle cannot truncate; a second one can.
    Handle writer(CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writer.valid() || !SetFilePointerEx(writer.get(), size, nullptr, FILE_BEGIN)
        || !SetEndOfFile(writer.get()))
        return false;
    FlushFileBuffers(writer.get());
    return true;
}

// Takes back what this append wrote, but only while the log still ends where
// it left it; otherwise ends its partial line.
AppendOutcome undoAndFail(HANDLE file, const std::filesystem::path &log, LARGE_INTEGER before,
                          std::size_t written, bool lineComplete, DWORD error)
{
    const AppendOutcome failed = failure(systemReason(error));
    if (written == 0)
        return failed;
    LARGE_INTEGER now{};
    const bool stillOurEnd = GetFileSizeEx(file, &now)
                             && now.QuadPart == before.QuadPart + static_cast<LONGLONG>(written);
    if (stillOurEnd && truncateTo(log, before))
        return failed;
    if (!lineComplete) {
        DWORD ended = 0;
        WriteFile(file, lineEnd.data(), static_cast<DWORD>(lineEnd.size()), &ended, nullptr);
        FlushFileBuffers(file);
    }
    return {false, failed.reason, true};
}

} // namespace

AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait)
{
    const auto deadline = Clock::now() + lockWait;
    HANDLE opened = INVALID_HANDLE_VALUE;
    bool canReadTail = false;
    DWORD openError = 0;
    // Another program may have the log open without sharing it (a
    // spreadsheet showing it to the teacher): wait for it like for the lock.
    const LockAttempt open = retryUntil(deadline, [&] {
        opened = openForAppend(log, FILE_READ_DATA);
        canReadTail = opened != INVALID_HANDLE_VALUE;
        if (!canReadTail && GetLastError() == ERROR_ACCESS_DENIED)
            opened = openForAppend(log, 0);
        if (opened != INVALID_HANDLE_VALUE)
            return LockAttempt::Locked;
        openError = GetLastError();
        return openError == ERROR_SHARING_VIOLATION || openError == ERROR_LOCK_VIOLATION
                   ? LockAttempt::Busy
                   : LockAttempt::Failed;
    });
    if (open == LockAttempt::Busy)
        return failure(lockedReason);
    if (open == LockAttempt::Failed)
        return failure(systemReason(openError));
    const Handle file(opened);
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return failure(notAFileReason);

    const WritersLock lock(file.get(), deadline);
    if (!lock.failure().empty())
        return failure(lock.failure());

    LARGE_INTEGER before{};
    if (!GetFileSizeEx(file.get(), &before))
        return failure(systemReason(GetLastError()));

    // A line end first, unless the log is empty or ends in a line feed; a
    // last byte that cannot be read might be anything.
    bool lineEndFirst = before.QuadPart > 0;
    if (lineEndFirst && canReadTail) {
        const LONGLONG lastAt = before.QuadPart - 1;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(lastAt & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(lastAt >> 32);
        char last = 0;
        DWORD read = 0;
        if (ReadFile(file.get(), &last, 1, &read, &at) && read == 1)
            lineEndFirst = last != '\n';
    }

    std::string data;
    if (lineEndFirst)
        data = lineEnd;
    data += line;
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, MAXDWORD));
        if (!WriteFile(file.get(), data.data() + done, chunk, &written, nullptr))
            return undoAndFail(file.get(), log, before, done, false, GetLastError());
        if (written == 0)
            return undoAndFail(file.get(), log, before, done, false, ERROR_DISK_FULL);
        done += written;
    }
    if (!FlushFileBuffers(file.get()))
        return undoAndFail(file.get(), log, before, done, true, GetLastError());
    return {true, {}};
}

CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait)
{
    CollectOutcome outcome;
    const auto deadline = Clock::now() + lockWait;
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    const LockAttempt open = retryUntil(deadline, [&] {
        opened = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened != INVALID_HANDLE_VALUE)
            return LockAttempt::Locked;
        error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? LockAttempt::Busy : LockAttempt::Failed;
    });
    if (open == LockAttempt::Failed && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        outcome.ok = outcome.noLog = true;
        return outcome;
    }
    if (open != LockAttempt::Locked) {
        outcome.reason = open == LockAttempt::Busy ? lockedReason : systemReason(error);
        return outcome;
    }
    const Handle file(opened);
    const WritersLock lock(file.get(), deadline);
    if (!lock.failure().empty()) {
        outcome.reason = lock.failure();
        return outcome;
    }

    const Handle copy(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy.valid()) {
        error = GetLastError();
        outcome.destinationExists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        outcome.reason = systemReason(error);
        return outcome;
    }
    int records = 0;
    char last = '\n';
    char buffer[65536];
    bool copied = true;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            copied = false;
            break;
        }
        if (read == 0)
            break;
        records += static_cast<int>(std::count(buffer, buffer + read, '\n'));
        last = buffer[read - 1];
        DWORD written = 0;
        if (!WriteFile(copy.get(), buffer, read, &written, nullptr) || written != read) {
            copied = false;
            break;
        }
    }
    LARGE_INTEGER empty{};
    copied = copied && FlushFileBuffers(copy.get()) && SetFilePointerEx(file.get(), empty, nullptr, FILE_BEGIN)
             && SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
    if (!copied) {
        error = GetLastError();
        DeleteFileW(destination.c_str()); // the log keeps its records
        outcome.reason = systemReason(error);
        return outcome;
    }
    outcome.ok = true;
    outcome.records = records + (last != '\n' ? 1 : 0);
    return outcome;
}

#else // POSIX

std::string systemReason(int error)
{
    return std::strerror(error);
}

class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
        return *this;
    }
    int get() const { return m_fd; }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd); // also releases the lock
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

// In a folder that others may write to, another user's link could send the
// record into a file of ours; a link of our own (or root's) to a shared log
// is what a technician sets up.
bool trustedLink(const struct stat &link)
{
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

enum class PathState { Missing, File, OwnLink, ForeignLink, Failed };

PathState lookAtPath(const std::filesystem::path &log, int &error)
{
    struct stat at{};
    if (::lstat(log.c_str(), &at) != 0) {
        error = errno;
        return errno == ENOENT ? PathState::Missing : PathState::Failed;
    }
    if (!S_ISLNK(at.st_mode))
        return PathState::File;
    return trustedLink(at) ? PathState::OwnLink : PathState::ForeignLink;
}

int openWith(const std::filesystem::path &log, int flags)
{
    int fd;
    do
        fd = ::open(log.c_str(), O_RDWR | flags, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == EACCES) {
        // A log we may append to but not read.
        do
            fd = ::open(log.c_str(), O_WRONLY | flags, 0644);
        while (fd < 0 && errno == EINTR);
    }
    return fd;
}

// A log created in a folder its group may write to (a class's shared folder,
// set-group-ID so that files take its group) must take the other pupils'
// records too: it is made writable by the group, whatever the umask says. In
// a private folder it stays as the umask makes it.
bool sharedFolder(const std::filesystem::path &log)
{
    const std::filesystem::path parent = log.has_parent_path() ? log.parent_path() : ".";
    struct stat folder{};
    return ::stat(parent.c_str(), &folder) == 0 && (folder.st_mode & S_IWGRP);
}

// Creates the log already writable by the group: made aside, then linked
// into place, so that another pupil never finds it still private. Fails
// with EEXIST when somebody else created it first.
int createShared(const std::filesystem::path &log)
{
    std::string aside = log.string() + ".XXXXXX";
    const int fd = ::mkostemp(aside.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    int error = 0;
    if (::fchmod(fd, 0664) != 0 || ::link(aside.c_str(), log.c_str()) != 0)
        error = errno;
    ::unlink(aside.c_str());
    if (error == 0 && ::fcntl(fd, F_SETFL, O_APPEND | O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Never waits: a FIFO without a reader fails (ENXIO) instead of hanging, a
// lease being broken fails (EWOULDBLOCK) and is tried again.
int openForAppend(const std::filesystem::path &log, bool followLink, bool create)
{
    const int flags = O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW);
    if (followLink)
        return openWith(log, flags | (create ? O_CREAT : 0));
    for (int attempt = 0;; ++attempt) {
        int fd = openWith(log, flags);
        if (fd >= 0 || errno != ENOENT || !create)
            return fd;
        fd = -1;
        if (sharedFolder(log)) {
            fd = createShared(log);
            // A file system without hard links: created, then shared.
            if (fd < 0 && (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)) {
                fd = openWith(log, flags | O_CREAT | O_EXCL);
                if (fd >= 0)
                    ::fchmod(fd, 0664);
            }
        } else {
            fd = openWith(log, flags | O_CREAT | O_EXCL);
        }
        if (fd >= 0)
            return fd;
        if (errno != EEXIST || attempt == 3)
            return -1;
    }
}

// Whether the path still names the file open as `fd`: same file, still
// linked, reached through no foreign link.
bool stillAtPath(const std::filesystem::path &log, int fd)
{
    struct stat mine{};
    struct stat there{};
    if (::fstat(fd, &mine) != 0 || mine.st_nlink == 0)
        return false;
    int error = 0;
    const PathState state = lookAtPath(log, error);
    if (state != PathState::File && state != PathState::OwnLink)
        return false;
    return ::stat(log.c_str(), &there) == 0 && there.st_dev == mine.st_dev
           && there.st_ino == mine.st_ino;
}

struct LockedLog
{
    Descriptor file;
    std::string failure; // empty once locked
    bool missing = false; // not created, there being no log
};

// Opens the log (creating it when asked) and locks it, until the path names
// the file that is locked, all before `deadline`.
LockedLog openAndLock(const std::filesystem::path &log, Clock::time_point deadline, bool create = true)
{
    auto pause = std::chrono::milliseconds(1);
    const auto waitABit = [&] {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - Clock::now()));
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
        return true;
    };
    for (;;) {
        int error = 0;
        const PathState state = lookAtPath(log, error);
        if (state == PathState::Failed)
            return {{}, systemReason(error)};
        if (state == PathState::ForeignLink)
            return {{}, foreignLinkReason};

        Descriptor file(openForAppend(log, state == PathState::OwnLink, create));
        if (file.get() < 0) {
            error = errno;
            if (error == ENOENT && !create)
                return {{}, systemReason(error), true};
            if (error == ENXIO)
                return {{}, notAFileReason};
            // A lease being broken, or the path changed since we looked.
            const bool tryAgain = error == EWOULDBLOCK || error == EAGAIN
                                  || (error == ELOOP && state != PathState::OwnLink);
            if (tryAgain && waitABit())
                continue;
            return {{}, tryAgain ? lockedReason : systemReason(error)};
        }
        struct stat status{};
        if (::fstat(file.get(), &status) != 0)
            return {{}, systemReason(errno)};
        if (!S_ISREG(status.st_mode))
            return {{}, notAFileReason};
        const int flags = ::fcntl(file.get(), F_GETFL);
        if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return {{}, systemReason(errno)};

        for (;;) {
            int result;
            do
                result = ::flock(file.get(), LOCK_EX | LOCK_NB);
            while (result != 0 && errno == EINTR);
            if (result == 0)
                break;
            if (errno != EWOULDBLOCK)
                return {{}, systemReason(errno)};
            if (!waitABit())
                return {{}, lockedReason};
        }
        if (stillAtPath(log, file.get()))
            return {std::move(file), {}};
        // Moved away or replaced while we waited: what we locked is no
        // longer the log.
        if (Clock::now() >= deadline)
            return {{}, lockedReason};
    }
}

// Whether a line end must come first: unless the log is empty or its last
// byte is a line feed. A byte that cannot be read might be anything.
bool needsLineEndFirst(int fd, off_t size)
{
    if (size == 0)
        return false;
    char last = 0;
    ssize_t read;
    do
        read = ::pread(fd, &last, 1, size - 1);
    while (read < 0 && errno == EINTR);
    return read != 1 || last != '\n';
}

// Takes back what this append wrote, but only while the log still ends where
// it left it; otherwise ends its partial line, so that the next record does
// not join it.
AppendOutcome undoAndFail(int fd, off_t before, std::size_t written, bool lineComplete, int error)
{
    const AppendOutcome failed = failure(systemReason(error));
    if (written == 0)
        return failed;
    struct stat now{};
    const bool stillOurEnd = ::fstat(fd, &now) == 0
                             && now.st_size == before + static_cast<off_t>(written);
    if (stillOurEnd && ::ftruncate(fd, before) == 0) {
        ::fdatasync(fd);
        return failed;
    }
    if (!lineComplete) {
        ssize_t ended;
        do
            ended = ::write(fd, lineEnd.data(), lineEnd.size());
        while (ended < 0 && errno == EINTR);
        ::fdatasync(fd);
    }
    return {false, failed.reason, true};
}

} // namespace

AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait)
{
    // Past a file-size limit a write must fail with EFBIG, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);

    LockedLog locked = openAndLock(log, Clock::now() + lockWait);
    if (!locked.failure.empty())
        return failure(locked.failure);
    const int fd = locked.file.get();

    // The size now, under the lock: what any failure goes back to.
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return failure(systemReason(errno));
    const off_t before = status.st_size;

    std::string data;
    if (needsLineEndFirst(fd, before))
        data = lineEnd;
    data += line;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return undoAndFail(fd, before, done, false, written < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(written);
    }
    if (::fdatasync(fd) != 0)
        return undoAndFail(fd, before, done, true, errno);
    return {true, {}};
}


namespace {

// Lines in the log: its line feeds, and a last line without one.
int countLines(int fd, off_t size)
{
    int lines = 0;
    char buffer[65536];
    char last = '\n';
    for (off_t at = 0; at < size;) {
        const ssize_t read = ::pread(fd, buffer, sizeof buffer, at);
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break;
        lines += static_cast<int>(std::count(buffer, buffer + read, '\n'));
        last = buffer[read - 1];
        at += read;
    }
    return lines + (last != '\n' ? 1 : 0);
}

bool copyAll(int from, int to, off_t size)
{
    char buffer[65536];
    for (off_t at = 0; at < size;) {
        const ssize_t read = ::pread(from, buffer, sizeof buffer, at);
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            return false;
        for (ssize_t done = 0; done < read;) {
            const ssize_t written = ::write(to, buffer + done, static_cast<std::size_t>(read - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            done += written;
        }
        at += read;
    }
    return ::fdatasync(to) == 0;
}

// Across file systems: copy, flush, and only then remove the log. A copy
// that cannot be completed is taken away again, and the log stays.
int copyThenRemove(const std::filesystem::path &log, int fd, off_t size,
                   const std::filesystem::path &destination)
{
    const int copy = ::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (copy < 0)
        return errno;
    int error = copyAll(fd, copy, size) ? 0 : (errno ? errno : EIO);
    if (::close(copy) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::unlink(log.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(destination.c_str());
    return error;
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

} // namespace

CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait)
{
    CollectOutcome outcome;
    struct stat there{};
    if (::lstat(destination.c_str(), &there) == 0) {
        outcome.destinationExists = true;
        outcome.reason = std::strerror(EEXIST);
        return outcome;
    }
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
    if (::fstat(fd, &status) != 0) {
        outcome.reason = systemReason(errno);
        return outcome;
    }
    const int records = countLines(fd, status.st_size);

    int moved = ::renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL) {
        // A file system without a no-replace rename: a link cannot replace
        // anything either.
        moved = ::link(target.c_str(), destination.c_str());
        if (moved == 0 && ::unlink(target.c_str()) != 0) {
            error = errno;
            ::unlink(destination.c_str());
            outcome.reason = systemReason(error);
            return outcome;
        }
    }
    if (moved != 0) {
        error = errno;
        if (error == EXDEV || error == EPERM || error == EOPNOTSUPP)
            error = copyThenRemove(target, fd, status.st_size, destination);
        if (error == EEXIST)
            outcome.destinationExists = true;
        if (error != 0) {
            outcome.reason = systemReason(error);
            return outcome;
        }
    }
    flushFolderOf(destination);
    flushFolderOf(target);
    outcome.ok = true;
    outcome.records = records;
    return outcome;
}

#endif

} // namespace logfile
