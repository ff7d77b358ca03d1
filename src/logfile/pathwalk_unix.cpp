#include "logfile/pathwalk_unix.h"

#include "logfile/acl_unix.h"
#include "logfile/folderrule.h"
#include "logfile/logfile.h"
#include "logfile/shared.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <optional>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile::posix {

namespace {

#ifdef O_PATH
// Search permission is enough to pass through a folder: pupils may not list
// a class's folder, yet their logs are in it.
constexpr int folderAccess = O_PATH;
#else
constexpr int folderAccess = O_RDONLY;
#endif

// As the system itself gives up on a chain of links.
constexpr int maxLinks = 40;

bool trusted(const struct stat &link)
{
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}


int openFolder(int at, const char *name)
{
    int fd;
    do
        fd = ::openat(at, name, folderAccess | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// The names of `path` in order, without the empty ones between slashes; a
// path ending with a slash names a folder, which ends the list with "".
std::deque<std::string> namesOf(const std::string &path)
{
    std::deque<std::string> names;
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (!path.empty() && path.back() == '/')
        names.push_back({});
    return names;
}

std::string linkTarget(int folder, const std::string &name)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(folder, name.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
        return {};
    target.resize(static_cast<std::size_t>(length));
    return target;
}

// Where the walk stands: the folder it holds, the names still to walk, and
// the links followed so far.
struct Walk
{
    Descriptor folder;
    std::deque<std::string> names;
    int links = 0;
    PathRule rule = PathRule::Any;
    std::string at; // the folder held, as a person reads it ("" for the root)
    std::vector<PathStep> steps; // for a pupil's own log: each entry passed
    std::vector<AclGrant> folderAcl; // for a pupil's own log: the held folder's list of rights
};

// Notes the entry `name` (described by `entry`, and open as `entryFd`
// where it is a folder) of the folder held, before the walk passes it.
void noteStep(Walk &walk, const std::string &name, const struct stat &entry, int entryFd = -1)
{
    if (walk.rule == PathRule::Any)
        return;
    struct stat parent{};
    ::fstat(walk.folder.get(), &parent);
    PathStep step;
    step.parentPath = walk.at.empty() ? "/" : walk.at;
    step.path = walk.at + "/" + name;
    step.mode = entry.st_mode & 07777;
    step.owner = entry.st_uid;
    step.group = entry.st_gid;
    step.parentMode = parent.st_mode & 07777;
    step.parentOwner = parent.st_uid;
    step.parentGroup = parent.st_gid;
    step.ownersVisible = !ownersMayBeHidden(walk.folder.get());
    step.parentAcl = walk.folderAcl;
    if (entryFd >= 0)
        step.acl = aclGrants(entryFd);
    walk.steps.push_back(std::move(step));
}

// The walk now holds `folder`, reached as `at`.
void hold(Walk &walk, Descriptor folder, std::string at)
{
    walk.folder = std::move(folder);
    walk.at = std::move(at);
    if (walk.rule == PathRule::PupilsLog)
        walk.folderAcl = aclGrants(walk.folder.get());
}

// The walk's end: the folder that holds the last name, where a pupil's own
// log may be kept only if every entry on the way passes the rule.
WalkedPath arrive(Walk &walk, const std::string &name)
{
    WalkedPath walked;
    if (walk.rule != PathRule::Any) {
        PathVerdict verdict = walk.rule == PathRule::PupilsLog
                                  ? judgePupilLogPath(walk.steps, thisAccount(), accountName, groupName)
                                  : judgeTeachersFolderPath(walk.steps, thisAccount(), accountName);
        if (!verdict.safe) {
            walked = WalkedPath::refusedBy(std::move(verdict.reason));
            walked.ownFolder = verdict.ownFolder;
            walked.at = walk.at.empty() ? "/" : walk.at;
            return walked;
        }
        walked.unverified = std::move(verdict.unverified);
    }
    walked.folder = std::move(walk.folder);
    walked.name = name;
    walked.at = walk.at.empty() ? "/" : walk.at;
    return walked;
}

// Follows the link `name`, which `at` describes, where the rules trust it:
// its target's names take its place. A reason to stop, or nothing.
std::optional<WalkedPath> followLink(Walk &walk, const std::string &name, const struct stat &at, bool last)
{
    if (!trusted(at))
        return WalkedPath::refusedBy(reasons::foreignLink);
    if (last && walk.rule == PathRule::PupilsLog)
        return WalkedPath::refusedBy(reasons::linkAtLog);
    if (last && walk.rule == PathRule::TeachersFolder)
        return WalkedPath::refusedBy(reasons::isALink);
    if (++walk.links > maxLinks)
        return WalkedPath::failed(ELOOP);
    const std::string target = linkTarget(walk.folder.get(), name);
    if (target.empty())
        return WalkedPath::failed(errno);
    noteStep(walk, name, at);
    if (target.front() == '/') {
        Descriptor root(openFolder(AT_FDCWD, "/"));
        if (root.get() < 0)
            return WalkedPath::failed(errno);
        hold(walk, std::move(root), {});
    }
    std::deque<std::string> more = namesOf(target);
    walk.names.insert(walk.names.begin(), more.begin(), more.end());
    return std::nullopt;
}

// Enters the folder `name`; a reason to stop, or nothing (the walk may have
// to look at the name again, made a link since it looked).
std::optional<WalkedPath> enterFolder(Walk &walk, const std::string &name, const struct stat &entry)
{
    Descriptor next(openFolder(walk.folder.get(), name.c_str()));
    if (next.get() >= 0) {
        // What is noted is the folder entered: it may have changed since it
        // was looked at.
        struct stat entered{};
        noteStep(walk, name, ::fstat(next.get(), &entered) == 0 ? entered : entry, next.get());
        hold(walk, std::move(next), walk.at + "/" + name);
        return std::nullopt;
    }
    const int error = errno;
    struct stat at{};
    if ((error == ELOOP || error == ENOTDIR)
        && ::fstatat(walk.folder.get(), name.c_str(), &at, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(at.st_mode)
        && ++walk.links <= maxLinks) {
        walk.names.push_front(name);
        return std::nullopt;
    }
    return WalkedPath::failed(error);
}

} // namespace

WalkedPath walkPath(const std::filesystem::path &path, PathRule rule)
{
    const std::string &whole = path.native();
    if (whole.empty())
        return WalkedPath::failed(ENOENT);
    const bool absolute = whole.front() == '/';
    Walk walk{{}, namesOf(whole), 0, rule, {}, {}, {}};
    Descriptor start(openFolder(AT_FDCWD, absolute ? "/" : "."));
    if (start.get() < 0)
        return WalkedPath::failed(errno);
    hold(walk, std::move(start), absolute ? std::string() : std::string("."));
    while (!walk.names.empty()) {
        const std::string name = std::move(walk.names.front());
        walk.names.pop_front();
        const bool last = walk.names.empty();
        if (last && (name.empty() || name == "." || name == ".."))
            return WalkedPath::failed(EISDIR);
        if (name.empty() || name == ".")
            continue;
        struct stat at{};
        if (::fstatat(walk.folder.get(), name.c_str(), &at, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT)
                return arrive(walk, name);
            return WalkedPath::failed(errno);
        }
        std::optional<WalkedPath> stop;
        if (S_ISLNK(at.st_mode))
            stop = followLink(walk, name, at, last);
        else if (last)
            return arrive(walk, name);
        else
            stop = enterFolder(walk, name, at);
        if (stop)
            return std::move(*stop);
    }
    return WalkedPath::failed(EISDIR);
}

} // namespace logfile::posix

namespace logfile {

namespace {

// The pupil's log as it stands, if it does, and what the class folder's
// default list of rights would give the next one made there.
void judgePupilLog(const posix::WalkedPath &walked, const std::filesystem::path &path, PathCheck &check)
{
    struct stat folder{};
    ::fstat(walked.folder.get(), &folder);
    LogFile log;
    if (posix::describeLog(walked.folder.get(), walked.name, path.string(), log)) {
        const std::string fault =
            pupilLogFault(log, ::geteuid(), folder.st_uid, posix::accountName, posix::groupName);
        if (!fault.empty()) {
            check.safe = false;
            check.reason = fault;
            check.fixedAtNextRecord = log.regular && log.owner == ::geteuid();
        }
    }
    std::vector<std::string> given;
    for (const AclGrant &grant : posix::aclGrants(walked.folder.get(), true))
        if (grant.perms & 6)
            given.push_back(grant.group ? "le groupe " + posix::groupName(grant.id)
                                        : "le compte " + posix::accountName(grant.id));
    if (!given.empty()) {
        std::string who;
        for (const std::string &one : given)
            who += (who.empty() ? "" : ", ") + one;
        check.notes.push_back("La liste de droits par défaut (ACL) du dossier " + walked.at
                              + " donnerait à chaque nouveau fichier des droits pour " + who
                              + " ; morvel2 les retire du fichier de chaque élève qu'il crée ou complète.");
    }
}

} // namespace

PathCheck checkLogPath(const std::filesystem::path &log, bool ownLogOnly)
{
    PathCheck check;
    posix::WalkedPath walked = posix::walkPath(log, ownLogOnly);
    check.ownFolder = walked.ownFolder;
    if (!walked.failure.empty()) {
        check.safe = false;
        check.reason = walked.failure;
        if (walked.ownFolder && walked.failure != ownFolderReason(walked.at))
            check.ownFolderFault = walked.failure;
        return check;
    }
    if (walked.error != 0) {
        check.reachable = false;
        check.reason = posix::systemReason(walked.error);
        return check;
    }
    check.network = posix::ownersMayBeHidden(walked.folder.get());
    check.unverified = std::move(walked.unverified);
    if (ownLogOnly)
        judgePupilLog(walked, log, check);
    return check;
}

} // namespace logfile

namespace logfile::posix {

bool sameFile(int fd, int folder, const std::string &name)
{
    struct stat mine{};
    struct stat there{};
    return ::fstat(fd, &mine) == 0 && mine.st_nlink > 0
           && ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0
           && there.st_dev == mine.st_dev && there.st_ino == mine.st_ino;
}

PupilAccount thisAccount()
{
    PupilAccount account{::geteuid(), {::getegid()}};
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count > 0 && ::getgroups(count, groups.data()) == count)
        account.groups.insert(account.groups.end(), groups.begin(), groups.end());
    return account;
}

} // namespace logfile::posix
