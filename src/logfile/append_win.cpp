#include "logfile/logfile.h"

#include "logfile/filesystem.h"
#include "logfile/openlock_win.h"

namespace logfile {

using namespace win;

namespace {

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
    const AppendOutcome failed = AppendOutcome::failed(systemReason(error));
    if (written == 0)
        return failed;
    LARGE_INTEGER now{};
    const bool stillOurEnd = GetFileSizeEx(file, &now)
                             && now.QuadPart == before.QuadPart + static_cast<LONGLONG>(written);
    if (stillOurEnd && truncateTo(log, before))
        return failed;
    if (!lineComplete) {
        DWORD ignored = 0;
        writeAll(file, shared::lineEnd.data(), shared::lineEnd.size(), ignored);
        FlushFileBuffers(file);
    }
    AppendOutcome touched = failed;
    touched.logTouched = true;
    return touched;
}

// The last byte of the log, or nothing when it cannot be read.
std::optional<char> lastByte(HANDLE file, LONGLONG size)
{
    if (size <= 0)
        return std::nullopt;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((size - 1) & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>((size - 1) >> 32);
    char last = 0;
    DWORD read = 0;
    if (ReadFile(file, &last, 1, &read, &at) && read == 1)
        return last;
    return std::nullopt;
}

} // namespace

// A pupil's own log is guarded on Windows by the share's permissions
// (CREATOR OWNER), which the rules cannot check from here.
AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait, const AppendRules & /*rules*/)
{
    const auto deadline = Clock::now() + lockWait;
    HANDLE opened = INVALID_HANDLE_VALUE;
    bool canReadTail = false;
    DWORD openError = 0;
    // Another program may have the log open without sharing it (a
    // spreadsheet showing it to the teacher): wait for it like for the lock.
    const Attempt open = retryUntil(deadline, [&] {
        opened = openForAppend(log, FILE_READ_DATA);
        canReadTail = opened != INVALID_HANDLE_VALUE;
        if (!canReadTail && GetLastError() == ERROR_ACCESS_DENIED)
            opened = openForAppend(log, 0);
        if (opened != INVALID_HANDLE_VALUE)
            return Attempt::Done;
        openError = GetLastError();
        return openError == ERROR_SHARING_VIOLATION || openError == ERROR_LOCK_VIOLATION
                   ? Attempt::Busy
                   : Attempt::Failed;
    });
    if (open == Attempt::Busy)
        return AppendOutcome::failed(reasons::locked);
    if (open == Attempt::Failed)
        return AppendOutcome::failed(systemReason(openError));
    const Handle file(opened);
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return AppendOutcome::failed(reasons::notAFile);

    // Unlike on POSIX systems, the path cannot come to name another file
    // while we wait for the lock: the log is open without FILE_SHARE_DELETE,
    // so nobody can move, rename or delete it until this handle is closed
    // (which is also why collecting empties it in place).
    const WritersLock lock(file.get(), deadline);
    if (!lock.failure().empty())
        return AppendOutcome::failed(lock.failure());

    LARGE_INTEGER before{};
    if (!GetFileSizeEx(file.get(), &before))
        return AppendOutcome::failed(systemReason(GetLastError()));

    const std::optional<char> last = canReadTail ? lastByte(file.get(), before.QuadPart) : std::nullopt;
    const std::string data = shared::appendedBytes(shared::needsLineEndFirst(before.QuadPart, last), line);
    DWORD error = 0;
    const std::size_t done = writeAll(file.get(), data.data(), data.size(), error);
    if (done < data.size())
        return undoAndFail(file.get(), log, before, done, false, error);
    if (!FlushFileBuffers(file.get()))
        return undoAndFail(file.get(), log, before, done, true, GetLastError());
    return {true, {}};
}

// The share's and the folder's NTFS permissions keep a pupil's log on
// Windows; the program does not read them.
PathCheck checkLogPath(const std::filesystem::path &log, bool /*ownLogOnly*/)
{
    PathCheck check;
    std::error_code error;
    check.reachable = std::filesystem::is_directory(log.parent_path(), error);
    if (!check.reachable)
        check.reason = reasons::missing;
    check.judged = false;
    check.network = onNetworkFileSystem(log);
    return check;
}

} // namespace logfile
