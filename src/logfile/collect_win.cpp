#include "logfile/logfile.h"

#include "logfile/openlock_win.h"

namespace logfile {

using namespace win;

namespace {

// Copies the whole log to `copy`, counting its records; false with the
// error set for GetLastError() when a read or a write failed.
bool copyRecords(HANDLE file, HANDLE copy, shared::RecordCounter &counter, const CollectRules &rules,
                 bool &atDestination)
{
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        counter.add(buffer, read);
        if (rules.observe)
            rules.observe(buffer, read);
        DWORD writeError = 0;
        if (writeAll(copy, buffer, read, writeError) != read) {
            SetLastError(writeError);
            atDestination = true;
            return false;
        }
    }
}

// The log opened for the collect, waiting while another program holds it
// unshared; INVALID_HANDLE_VALUE with the outcome said otherwise.
HANDLE openToCollect(const std::filesystem::path &log, Clock::time_point deadline, CollectOutcome &outcome)
{
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    const Attempt open = retryUntil(deadline, [&] {
        opened = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened != INVALID_HANDLE_VALUE)
            return Attempt::Done;
        error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? Attempt::Busy : Attempt::Failed;
    });
    if (open == Attempt::Failed && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        outcome.ok = outcome.noLog = true;
    else if (open != Attempt::Done)
        outcome = CollectOutcome::failed(open == Attempt::Busy ? reasons::locked : systemReason(error));
    return opened;
}

} // namespace

// Who may write a pupil's log on a share is the share's permissions' business there.
CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait, const CollectRules &rules)
{
    CollectOutcome outcome;
    const auto deadline = Clock::now() + lockWait;
    const Handle file(openToCollect(log, deadline, outcome));
    if (!file.valid())
        return outcome;
    const WritersLock lock(file.get(), deadline);
    if (!lock.failure().empty())
        return CollectOutcome::failed(lock.failure());

    // A log held open by a waiting writer cannot be moved here: its records
    // are copied out, then it is emptied, under the same lock.
    const Handle copy(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy.valid()) {
        const DWORD error = GetLastError();
        outcome = CollectOutcome::failed(systemReason(error), true);
        outcome.destinationExists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return outcome;
    }
    shared::RecordCounter counter;
    bool atDestination = false;
    LARGE_INTEGER empty{};
    // The pupil's time stays the collected log's: emptying the log changes its own.
    FILETIME written{};
    const bool timed = GetFileTime(file.get(), nullptr, nullptr, &written);
    const bool copied = copyRecords(file.get(), copy.get(), counter, rules, atDestination)
                        && FlushFileBuffers(copy.get())
                        && (!timed || SetFileTime(copy.get(), nullptr, nullptr, &written))
                        && SetFilePointerEx(file.get(), empty, nullptr, FILE_BEGIN)
                        && SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
    if (!copied) {
        const DWORD error = GetLastError();
        DeleteFileW(destination.c_str()); // the log keeps its records
        return CollectOutcome::failed(systemReason(error), atDestination);
    }
    outcome.ok = true;
    outcome.records = static_cast<int>(counter.records());
    return outcome;
}

} // namespace logfile
