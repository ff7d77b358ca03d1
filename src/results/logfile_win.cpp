#include "results/logfile_win.h"

#include <algorithm>

namespace logfile::win {

namespace {

OVERLAPPED lockRange()
{
    OVERLAPPED range{};
    range.Offset = MAXDWORD - 1;
    range.OffsetHigh = MAXDWORD;
    return range;
}

} // namespace

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

std::size_t writeAll(HANDLE file, const char *bytes, std::size_t size, DWORD &error)
{
    return shared::writeEverything(bytes, size, [&](const char *part, std::size_t length) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length, MAXDWORD));
        if (!WriteFile(file, part, chunk, &written, nullptr))
            error = GetLastError();
        else if (written == 0)
            error = ERROR_DISK_FULL;
        return static_cast<long long>(written);
    });
}

Handle::~Handle()
{
    if (valid())
        CloseHandle(m_handle);
}

WritersLock::WritersLock(HANDLE file, Clock::time_point deadline)
    : m_file(file)
{
    DWORD error = 0;
    const Attempt lock = retryUntil(deadline, [&] {
        OVERLAPPED range = lockRange();
        if (LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
            return Attempt::Done;
        error = GetLastError();
        return error == ERROR_LOCK_VIOLATION ? Attempt::Busy : Attempt::Failed;
    });
    m_locked = lock == Attempt::Done;
    if (!m_locked)
        m_failure = lock == Attempt::Busy ? shared::lockedReason : systemReason(error);
}

WritersLock::~WritersLock()
{
    OVERLAPPED range = lockRange();
    if (m_locked)
        UnlockFileEx(m_file, 0, 1, 0, &range);
}

} // namespace logfile::win
