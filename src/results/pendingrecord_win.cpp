#include "results/pendingrecord.h"

#include "results/appendfile.h"

#include <cstdio>

// Not in a signal handler here: the session's end comes as a message, so the
// rescue is an ordinary append under the writers' lock.
bool PendingRecord::writeRescue() const
{
    std::error_code ignored; // a folder that cannot be made shows in the append
    std::filesystem::create_directories(m_rescueLog.parent_path(), ignored);
    return logfile::appendLine(m_rescueLog, m_record, std::chrono::seconds(2)).ok;
}

void PendingRecord::tellStandardError(const std::string &notice)
{
    std::fwrite(notice.data(), 1, notice.size(), stderr);
    std::fflush(stderr);
}
