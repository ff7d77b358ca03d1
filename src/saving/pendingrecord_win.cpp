#include "saving/pendingrecord.h"

#include "logfile/logfile.h"

#include <cstdio>

// Not in a signal handler here: the session's end comes as a message, so the
// rescue is an ordinary append under the writers' lock.
bool PendingRecord::writeRescue() const
{
    m_folders.make();
    return logfile::appendLine(m_rescueLog, m_record, std::chrono::seconds(2)).ok;
}

void PendingRecord::tellStandardError(const std::string &notice)
{
    std::fwrite(notice.data(), 1, notice.size(), stderr);
    std::fflush(stderr);
}
