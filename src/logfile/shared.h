#pragma once

// What the POSIX and the Windows writers of the results log share: the line
// end, the rule for a torn last line, the count of records, the
// write-everything loop and the bounded pause between tries. Plain C++
// without system headers, so that each writer takes it unchanged.

#include "logfile/reasons.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace logfile::shared {

using Clock = std::chrono::steady_clock;

inline constexpr std::string_view lineEnd = "\r\n";

// Whether a line end must come before the next record, so that two records
// never share a line: unless the log is empty or its last byte is a line
// feed. `lastByte` is empty when that byte could not be read: it might be
// anything.
constexpr bool needsLineEndFirst(long long size, std::optional<char> lastByte)
{
    return size > 0 && lastByte != '\n';
}

// Whether a file claims far more bytes than the disk holds for it: a
// sparse log (truncate -s 20G) costs its maker nothing and a reader a disk.
// Small files are never called so, as a file system may keep them inline.
constexpr bool isSparse(long long size, long long blocksOfFiveTwelve)
{
    return size > (1 << 20) && blocksOfFiveTwelve * 512 * 4 < size;
}

// Why a sparse log is set aside, in French.
std::string sparseReason(long long size, long long blocksOfFiveTwelve);

// The bytes one append writes: a line end first when needed, then the line.
std::string appendedBytes(bool lineEndFirst, std::string_view line);

// Counts the records of a log streamed past it in pieces: its lines that
// hold anything but their line end, a last one without a line feed
// included. A log the writers may append to but not read gets a line end
// before every record, which is no record.
class RecordCounter
{
public:
    void add(const char *bytes, std::size_t size);
    long long records() const { return m_lines + (m_lineHasText ? 1 : 0); }

private:
    long long m_lines = 0;
    bool m_lineHasText = false;
};

// Writes all of `size` bytes through `writeSome`, which writes part of what
// it is given and returns how many bytes it took, 0 or less when it failed
// (it retries an interrupted call itself). Returns how many bytes went out:
// all of them, or fewer when a write failed. It allocates nothing, so that
// a rescue in a signal handler may use it.
template <typename WriteSome>
std::size_t writeEverything(const char *bytes, std::size_t size, WriteSome writeSome)
{
    std::size_t done = 0;
    while (done < size) {
        const long long written = writeSome(bytes + done, size - done);
        if (written <= 0)
            break;
        done += static_cast<std::size_t>(written);
    }
    return done;
}

// The pause between two tries for a lock or a busy file: polling rather
// than blocking gives the wait a bound without signals or threads, and the
// pause grows, from 1 ms to 16 ms, so that many waiting writers do not spin.
class Backoff
{
public:
    explicit Backoff(Clock::time_point deadline) : m_deadline(deadline) {}
    // Pauses, never past the deadline; false once the deadline has passed.
    bool pause();

private:
    Clock::time_point m_deadline;
    std::chrono::milliseconds m_pause{1};
};

} // namespace logfile::shared
