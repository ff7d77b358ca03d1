#include "logfile/pathwalk_unix.h"

#include "logfile/shared.h"

#include <cerrno>
#include <climits>
#include <deque>
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

bool othersMaySwapEntries(int folder)
{
    struct stat status{};
    return ::fstat(folder, &status) != 0
           || (!trusted(status) && !(status.st_mode & S_ISVTX) && (status.st_mode & (S_IWGRP | S_IWOTH)));
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

WalkedPath failedWith(int error)
{
    WalkedPath walked;
    walked.error = error != 0 ? error : EIO;
    return walked;
}

WalkedPath refusedFor(const char *why)
{
    WalkedPath walked;
    walked.failure = why;
    walked.refused = true;
    return walked;
}

} // namespace

WalkedPath walkPath(const std::filesystem::path &path, bool ownLogOnly)
{
    const std::string &whole = path.native();
    if (whole.empty())
        return failedWith(ENOENT);
    Descriptor folder(openFolder(AT_FDCWD, whole.front() == '/' ? "/" : "."));
    if (folder.get() < 0)
        return failedWith(errno);
    std::deque<std::string> names = namesOf(whole);
    int links = 0;
    // The walk's end: the folder that holds the last name.
    const auto arrived = [&folder, ownLogOnly](const std::string &name) {
        if (ownLogOnly && othersMaySwapEntries(folder.get()))
            return refusedFor(reasons::foreignFolder);
        WalkedPath walked;
        walked.folder = std::move(folder);
        walked.name = name;
        return walked;
    };
    while (!names.empty()) {
        const std::string name = std::move(names.front());
        names.pop_front();
        const bool last = names.empty();
        if (last && (name.empty() || name == "." || name == ".."))
            return failedWith(EISDIR);
        if (name.empty() || name == ".")
            continue;
        struct stat at{};
        if (::fstatat(folder.get(), name.c_str(), &at, AT_SYMLINK_NOFOLLOW) != 0) {
            if (last && errno == ENOENT)
                return arrived(name);
            return failedWith(errno);
        }
        if (S_ISLNK(at.st_mode)) {
            if (!trusted(at))
                return refusedFor(reasons::foreignLink);
            if (last && ownLogOnly)
                return refusedFor(reasons::linkAtLog);
            if (++links > maxLinks)
                return failedWith(ELOOP);
            const std::string target = linkTarget(folder.get(), name);
            if (target.empty())
                return failedWith(errno);
            if (target.front() == '/') {
                folder = Descriptor(openFolder(AT_FDCWD, "/"));
                if (folder.get() < 0)
                    return failedWith(errno);
            }
            std::deque<std::string> more = namesOf(target);
            names.insert(names.begin(), more.begin(), more.end());
            continue;
        }
        if (last)
            return arrived(name);
        Descriptor next(openFolder(folder.get(), name.c_str()));
        if (next.get() < 0) {
            const int error = errno;
            // Made a link since we looked: look at it again.
            if ((error == ELOOP || error == ENOTDIR)
                && ::fstatat(folder.get(), name.c_str(), &at, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISLNK(at.st_mode) && ++links <= maxLinks) {
                names.push_front(name);
                continue;
            }
            return failedWith(error);
        }
        folder = std::move(next);
    }
    return failedWith(EISDIR);
}

bool sameFile(int fd, int folder, const std::string &name)
{
    struct stat mine{};
    struct stat there{};
    return ::fstat(fd, &mine) == 0 && mine.st_nlink > 0
           && ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0
           && there.st_dev == mine.st_dev && there.st_ino == mine.st_ino;
}

} // namespace logfile::posix
