#include "logfile/logfile.h"

#include "logfile/openlock_win.h"

namespace logfile {

using namespace win;

namespace {

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
    OpenedLog opened = openForAppending(log, deadline);
    if (!opened.failure.empty())
        return AppendOutcome::failed(opened.failure);
    const Handle file(opened.handle);
    const bool canReadTail = opened.canReadTail;
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

} // namespace logfile
