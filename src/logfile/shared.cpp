#include "logfile/shared.h"

#include <algorithm>
#include <thread>

namespace logfile::shared {

std::string sparseReason(long long size, long long blocksOfFiveTwelve)
{
    return "le fichier est creux : " + std::to_string(size) + " octets annoncés, " +
           std::to_string(blocksOfFiveTwelve * 512) + " sur le disque ; il n'a pas été lu";
}

std::string appendedBytes(bool lineEndFirst, std::string_view line)
{
    std::string bytes;
    bytes.reserve(lineEnd.size() + line.size());
    if (lineEndFirst)
        bytes = lineEnd;
    bytes += line;
    return bytes;
}

void RecordCounter::add(const char *bytes, std::size_t size)
{
    for (const char *byte = bytes; byte != bytes + size; ++byte) {
        if (*byte == '\n') {
            m_lines += m_lineHasText ? 1 : 0;
            m_lineHasText = false;
        } else if (*byte != '\r') {
            m_lineHasText = true;
        }
    }
}

bool Backoff::pause()
{
    const Clock::time_point now = Clock::now();
    if (now >= m_deadline)
        return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(m_pause, m_deadline - now));
    m_pause = std::min(m_pause * 2, std::chrono::milliseconds(16));
    return true;
}

} // namespace logfile::shared
