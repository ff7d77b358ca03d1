#pragma once

// Opening and locking the results log on Windows, for the append and the
// collection alike.

#include "logfile/shared.h"

#include <filesystem>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace logfile::win {

using shared::Clock;

std::string systemReason(DWORD error);

// An open handle, closed when it goes out of scope.
class Handle
{
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle();
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Writes all of `size` bytes to `file` and returns the number written; when
// that is fewer, `error` says why.
std::size_t writeAll(HANDLE file, const char *bytes, std::size_t size, DWORD &error);

enum class Attempt { Done, Busy, Failed };

// Tries `attempt` until it is done or fails, or until `deadline` while the
// file is busy.
template <typename Try>
Attempt retryUntil(Clock::time_point deadline, Try attempt)
{
    shared::Backoff backoff(deadline);
    for (;;) {
        const Attempt result = attempt();
        if (result != Attempt::Busy || !backoff.pause())
            return result;
    }
}

// The log opened as the writer opens it: append-only access, so that every
// write lands at the end whoever else is writing; shared for reading and
// writing; made when missing. Its data is read too where that is allowed.
// Another program may have the log open without sharing it (a spreadsheet
// showing it to the teacher): that is waited for like the lock, until
// `deadline`.
struct OpenedLog
{
    HANDLE handle = INVALID_HANDLE_VALUE; // the caller's to close
    bool canReadTail = false;
    bool existed = false; // false: made by this open
    DWORD error = 0;
    std::string failure; // empty once open
};
OpenedLog openForAppending(const std::filesystem::path &log, Clock::time_point deadline);

// The writers' lock on an open log, taken before `deadline` or not at all,
// and let go when it goes out of scope. Writers agree on locking one byte
// far beyond any data, which keeps them apart without stopping anybody from
// reading the log meanwhile.
class WritersLock
{
public:
    WritersLock(HANDLE file, Clock::time_point deadline);
    ~WritersLock();
    WritersLock(const WritersLock &) = delete;
    WritersLock &operator=(const WritersLock &) = delete;
    // Empty once locked.
    const std::string &failure() const { return m_failure; }

private:
    HANDLE m_file;
    bool m_locked = false;
    std::string m_failure;
};

} // namespace logfile::win
