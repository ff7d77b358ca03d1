#include "logfile/logfile.h"

#include "logfile/acl_unix.h"
#include "logfile/openlock_unix.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

using namespace posix;

namespace {

// Takes back what this append wrote, but only while the log still ends where
// it left it; otherwise ends its partial line, so that the next record does
// not join it.
AppendOutcome undoAndFail(int fd, off_t before, std::size_t written, bool lineComplete, int error)
{
    const AppendOutcome failed = AppendOutcome::failed(systemReason(error));
    if (written == 0)
        return failed;
    struct stat now{};
    const bool stillOurEnd = ::fstat(fd, &now) == 0
                             && now.st_size == before + static_cast<off_t>(written);
    if (stillOurEnd && ::ftruncate(fd, before) == 0) {
        ::fdatasync(fd);
        return failed;
    }
    if (!lineComplete) {
        writeAll(fd, shared::lineEnd.data(), shared::lineEnd.size());
        ::fdatasync(fd);
    }
    AppendOutcome touched = failed;
    touched.logTouched = true;
    return touched;
}

} // namespace

AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait, const AppendRules &rules)
{
    OpenRules open;
    open.create = true;
    open.ownLogOnly = rules.ownLogOnly;
    open.privateFile = rules.privateLog;
    LockedLog locked = openAndLock(log, Clock::now() + lockWait, open);
    if (!locked.failure.empty())
        return AppendOutcome::failed(locked.failure, locked.refused);
    const int fd = locked.file.get();
    // Before a record goes in: the log may have been made under a folder's
    // default access list, or opened to others since.
    if (rules.ownLogOnly)
        if (const std::string opened = keepFromClassmates(fd, locked.folder.get(), log.string()); !opened.empty())
            return AppendOutcome::failed(opened, true);

    // The size now, under the lock: what any failure goes back to.
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return AppendOutcome::failed(systemReason(errno));
    const off_t before = status.st_size;

    const std::string data =
        shared::appendedBytes(shared::needsLineEndFirst(before, lastByte(fd, before)), line);
    const std::size_t written = writeAll(fd, data.data(), data.size());
    if (written < data.size())
        return undoAndFail(fd, before, written, false, errno);
    if (::fdatasync(fd) != 0)
        return undoAndFail(fd, before, written, true, errno);
    AppendOutcome done{true, {}};
    done.modeUnset = locked.modeUnset;
    return done;
}

} // namespace logfile
