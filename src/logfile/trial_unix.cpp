#include "logfile/logfile.h"

#include "logfile/openlock_unix.h"
#include "logfile/pathwalk_unix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

using namespace posix;

AppendTrial tryAppend(const std::filesystem::path &log, bool ownLogOnly)
{
    AppendTrial trial;
    const WalkedPath walked = walkPath(log, ownLogOnly);
    if (!walked.ok()) {
        trial.reason = walked.failure.empty() ? systemReason(walked.error) : walked.failure;
        return trial;
    }
    struct stat before{};
    const bool existed = ::fstatat(walked.folder.get(), walked.name.c_str(), &before, AT_SYMLINK_NOFOLLOW) == 0;
    OpenRules rules;
    rules.create = true;
    rules.ownLogOnly = ownLogOnly;
    LockedLog locked = openAndLock(log, Clock::now() + std::chrono::seconds(2), rules);
    if (!locked.failure.empty()) {
        trial.reason = locked.failure;
        return trial;
    }
    trial.ok = true;
    trial.created = !existed;
    if (!trial.created)
        return trial;
    // Taken away under the lock, only while it is this account's, empty,
    // and still at the log's name.
    struct stat made{};
    const bool ours = ::fstat(locked.file.get(), &made) == 0 && made.st_uid == ::geteuid() && made.st_size == 0
                      && sameFile(locked.file.get(), locked.folder.get(), locked.name);
    if (!ours) {
        trial.leftBehind = true;
        return trial;
    }
    if (::unlinkat(locked.folder.get(), locked.name.c_str(), 0) == 0)
        return trial;
    // A share will not remove a file still open.
    const bool busy = errno == EBUSY;
    locked.file.reset();
    trial.leftBehind = !busy || removeClosed(locked.folder.get(), locked.name) != 0;
    return trial;
}

} // namespace logfile
