#pragma once

// Appending one line to a log that other processes, on this machine or on
// others sharing the folder, may be appending to at the same moment.
// Plain C++ with no Qt in it, so that each platform's branch can be built and
// tested on its own.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

namespace logfile {

struct AppendOutcome
{
    bool ok = false;
    std::string reason; // when not ok: why, as the system puts it (UTF-8)
};

// Appends `line` (which carries its own line end) so that it lands whole and
// on disk, or not at all:
// - an exclusive lock on the file is held for the append, waited for at
//   most `lockWait`;
// - a log whose last two bytes are not CR LF (a line torn by an earlier
//   crash) first gets a line end, so two records never share a line; only
//   those two bytes are read;
// - the line goes out in one write (continued after a short write) and is
//   flushed to the disk before the append counts as done;
// - any failure truncates the log back to the size it had before, so no
//   partial line stays behind.
AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait = std::chrono::seconds(10));

} // namespace logfile
