#include "logfile/logfile.h"

#include "logfile/openlock_win.h"

namespace logfile {

using namespace win;

// Who may write a pupil's log on a share is the share's permissions' business there.
CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait, const CollectRules & /*rules*/)
{
    CollectOutcome outcome;
    const auto deadline = Clock::now() + lockWait;
    HANDLE opened = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    const Attempt open = retryUntil(deadline, [&] {
        opened = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened != INVALID_HANDLE_VALUE)
            return Attempt::Done;
        error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? Attempt::Busy : Attempt::Failed;
    });
    if (open == Attempt::Failed && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        outcome.ok = outcome.noLog = true;
        return outcome;
    }
    if (open != Attempt::Done) {
        outcome.reason = open == Attempt::Busy ? reasons::locked : systemReason(error);
        return outcome;
    }
    const Handle file(opened);
    const WritersLock lock(file.get(), deadline);
    if (!lock.failure().empty()) {
        outcome.reason = lock.failure();
        return outcome;
    }

    // A log held open by a waiting writer cannot be moved here: its records
    // are copied out, then it is emptied, under the same lock.
    const Handle copy(CreateFileW(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy.valid()) {
        error = GetLastError();
        outcome.destinationExists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        outcome.destinationAtFault = true;
        outcome.reason = systemReason(error);
        return outcome;
    }
    shared::RecordCounter counter;
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
        counter.add(buffer, read);
        DWORD writeError = 0;
        if (writeAll(copy.get(), buffer, read, writeError) != read) {
            SetLastError(writeError);
            outcome.destinationAtFault = true;
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
    outcome.records = static_cast<int>(counter.records());
    return outcome;
}

} // namespace logfile
