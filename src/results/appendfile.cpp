#include "results/appendfile.h"

#include <algorithm>
#include <string>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
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

AppendOutcome failure(std::string reason)
{
    return {false, std::move(reason)};
}

enum class LockAttempt { Locked, Busy, Failed };

// Polls for the lock rather than blocking, so the wait has a bound without
// signals or threads; the pause grows to keep many waiting writers from
// spinning.
template <typename TryLock>
LockAttempt lockWithin(std::chrono::milliseconds wait, TryLock tryLock)
{
    const auto deadline = Clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        const LockAttempt attempt = tryLock();
        if (attempt != LockAttempt::Busy || Clock::now() >= deadline)
            return attempt;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
}

std::string withTornTailMended(bool tailIsLineEnd, std::string_view line)
{
    std::string data;
    if (!tailIsLineEnd)
        data = lineEnd;
    data += line;
    return data;
}

#ifdef _WIN32

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

// Append-only access: every write lands at the end of the file, whoever
// else is writing; the log is shared for reading and writing.
HANDLE openForAppend(const std::filesystem::path &log, DWORD extraAccess)
{
    return CreateFileW(log.c_str(), FILE_APPEND_DATA | SYNCHRONIZE | extraAccess,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

void truncateTo(const std::filesystem::path &log, LARGE_INTEGER size)
{
    // The append-only handle cannot truncate; a second one can.
    Handle writer(CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (writer.valid() && SetFilePointerEx(writer.get(), size, nullptr, FILE_BEGIN))
        if (SetEndOfFile(writer.get()))
            FlushFileBuffers(writer.get());
}

} // namespace

AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait)
{
    HANDLE opened = openForAppend(log, FILE_READ_DATA);
    const bool canReadTail = opened != INVALID_HANDLE_VALUE;
    if (!canReadTail && GetLastError() == ERROR_ACCESS_DENIED)
        opened = openForAppend(log, 0);
    const Handle file(opened);
    if (!file.valid())
        return failure(systemReason(GetLastError()));
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return failure(notAFileReason);

    DWORD lockError = 0;
    const LockAttempt lock = lockWithin(lockWait, [&] {
        OVERLAPPED range = lockRange();
        if (LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &range))
            return LockAttempt::Locked;
        lockError = GetLastError();
        return lockError == ERROR_LOCK_VIOLATION ? LockAttempt::Busy : LockAttempt::Failed;
    });
    if (lock == LockAttempt::Busy)
        return failure(lockedReason);
    if (lock == LockAttempt::Failed)
        return failure(systemReason(lockError));
    struct Unlock
    {
        HANDLE file;
        OVERLAPPED range;
        ~Unlock() { UnlockFileEx(file, 0, 1, 0, &range); }
    } unlock{file.get(), lockRange()};

    LARGE_INTEGER before{};
    if (!GetFileSizeEx(file.get(), &before))
        return failure(systemReason(GetLastError()));

    bool tailIsLineEnd = true;
    if (before.QuadPart > 0 && canReadTail) {
        const LONGLONG tailSize = before.QuadPart >= 2 ? 2 : 1;
        const LONGLONG tailStart = before.QuadPart - tailSize;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(tailStart & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(tailStart >> 32);
        char tail[2] = {};
        DWORD read = 0;
        if (ReadFile(file.get(), tail, static_cast<DWORD>(tailSize), &read, &at))
            tailIsLineEnd = std::string_view(tail, read) == lineEnd;
    }

    const std::string data = withTornTailMended(tailIsLineEnd, line);
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, MAXDWORD));
        if (!WriteFile(file.get(), data.data() + done, chunk, &written, nullptr)) {
            const DWORD error = GetLastError();
            truncateTo(log, before);
            return failure(systemReason(error));
        }
        if (written == 0) {
            truncateTo(log, before);
            return failure(systemReason(ERROR_DISK_FULL));
        }
        done += written;
    }
    if (!FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        truncateTo(log, before);
        return failure(systemReason(error));
    }
    return {true, {}};
}

#else // POSIX

std::string systemReason(int error)
{
    return std::strerror(error);
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd); // also releases the lock
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int openForAppend(const std::filesystem::path &log, int access)
{
    int fd;
    do
        fd = ::open(log.c_str(), access | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool tailIsLineEnd(int fd, off_t size)
{
    if (size == 0)
        return true;
    const off_t tailSize = size >= 2 ? 2 : 1;
    char tail[2] = {};
    ssize_t read;
    do
        read = ::pread(fd, tail, static_cast<std::size_t>(tailSize), size - tailSize);
    while (read < 0 && errno == EINTR);
    // A log we may write but not read keeps its tail as it is.
    if (read < 0)
        return true;
    return std::string_view(tail, static_cast<std::size_t>(read)) == lineEnd;
}

AppendOutcome undoAndFail(int fd, off_t before, int error)
{
    if (::ftruncate(fd, before) == 0)
        ::fdatasync(fd);
    return failure(systemReason(error));
}

} // namespace

AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait)
{
    // Past a file-size limit a write must fail with EFBIG, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);

    int fd = openForAppend(log, O_RDWR);
    if (fd < 0 && errno == EACCES)
        fd = openForAppend(log, O_WRONLY);
    if (fd < 0)
        return failure(systemReason(errno));
    const Descriptor file(fd);

    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return failure(systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return failure(notAFileReason);

    int lockError = 0;
    const LockAttempt lock = lockWithin(lockWait, [&] {
        int result;
        do
            result = ::flock(fd, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
        if (result == 0)
            return LockAttempt::Locked;
        lockError = errno;
        return lockError == EWOULDBLOCK ? LockAttempt::Busy : LockAttempt::Failed;
    });
    if (lock == LockAttempt::Busy)
        return failure(lockedReason);
    if (lock == LockAttempt::Failed)
        return failure(systemReason(lockError));

    // The size now, under the lock: what any failure goes back to.
    if (::fstat(fd, &status) != 0)
        return failure(systemReason(errno));
    const off_t before = status.st_size;

    const std::string data = withTornTailMended(tailIsLineEnd(fd, before), line);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return undoAndFail(fd, before, written < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(written);
    }
    if (::fdatasync(fd) != 0)
        return undoAndFail(fd, before, errno);
    return {true, {}};
}

#endif

} // namespace logfile
