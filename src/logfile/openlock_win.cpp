#include "logfile/openlock_win.h"

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

namespace {

// The system's own wording, in the language Windows is installed in.
std::string systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string message;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                             0, nullptr, nullptr);
        message.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), message.data(), size,
                            nullptr, nullptr);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r'
                                    || message.back() == ' ' || message.back() == '.'))
            message.pop_back();
    }
    LocalFree(text);
    return message;
}

} // namespace

// In French whatever language Windows is installed in, with the same words
// as on Linux; an error of no known kind keeps the system's wording too.
std::string systemReason(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return reasons::missing;
    case ERROR_ACCESS_DENIED: return reasons::permissionDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return reasons::exists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "il n'y a plus de place sur le disque";
    case ERROR_WRITE_PROTECT: return "le disque est en lecture seule";
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT: return "erreur d'entrée-sortie sur le disque";
    case ERROR_DIRECTORY: return "un élément du chemin n'est pas un dossier";
    case ERROR_FILENAME_EXCED_RANGE: return "le nom est trop long";
    case ERROR_INVALID_NAME: return "le nom n'est pas valide";
    case ERROR_NOT_SAME_DEVICE: return "les deux fichiers ne sont pas sur le même disque";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "le fichier est occupé";
    case ERROR_TOO_MANY_OPEN_FILES: return "trop de fichiers ouverts";
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT: return "le partage ne répond pas";
    default: {
        const std::string message = systemMessage(error);
        return "erreur " + std::to_string(error) + (message.empty() ? "" : " (" + message + ")");
    }
    }
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

namespace {

// Reading its attributes (its size) is allowed even where reading its data
// is not.
HANDLE openWithAccess(const std::filesystem::path &log, DWORD extraAccess)
{
    return CreateFileW(log.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE | extraAccess,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

OpenedLog openForAppending(const std::filesystem::path &log, Clock::time_point deadline)
{
    OpenedLog opened;
    const Attempt open = retryUntil(deadline, [&] {
        opened.handle = openWithAccess(log, FILE_READ_DATA);
        opened.canReadTail = opened.handle != INVALID_HANDLE_VALUE;
        if (!opened.canReadTail && GetLastError() == ERROR_ACCESS_DENIED)
            opened.handle = openWithAccess(log, 0);
        if (opened.handle != INVALID_HANDLE_VALUE) {
            opened.existed = GetLastError() == ERROR_ALREADY_EXISTS;
            return Attempt::Done;
        }
        opened.error = GetLastError();
        return opened.error == ERROR_SHARING_VIOLATION || opened.error == ERROR_LOCK_VIOLATION ? Attempt::Busy
                                                                                               : Attempt::Failed;
    });
    if (open == Attempt::Busy)
        opened.failure = reasons::locked;
    else if (open == Attempt::Failed)
        opened.failure = systemReason(opened.error);
    return opened;
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
        m_failure = lock == Attempt::Busy ? reasons::locked : systemReason(error);
}

WritersLock::~WritersLock()
{
    OVERLAPPED range = lockRange();
    if (m_locked)
        UnlockFileEx(m_file, 0, 1, 0, &range);
}

} // namespace logfile::win
