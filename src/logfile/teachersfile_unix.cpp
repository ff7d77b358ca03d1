#include "logfile/teachersfile.h"

#include "logfile/folderrule.h"
#include "logfile/pathwalk_unix.h"
#include "logfile/reasons.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile {

namespace {

TeachersFile failed(std::string reason)
{
    TeachersFile file;
    file.reason = std::move(reason);
    return file;
}

// The file open as `fd` as a step of the way, its folder being `folder`.
PathStep stepOf(const struct stat &file, int folder, const std::filesystem::path &path, int fd)
{
    struct stat parent{};
    ::fstat(folder, &parent);
    PathStep step;
    step.path = path.string();
    step.parentPath = path.parent_path().string();
    step.mode = file.st_mode & 07777;
    step.owner = file.st_uid;
    step.group = file.st_gid;
    step.parentMode = parent.st_mode & 07777;
    step.parentOwner = parent.st_uid;
    step.parentGroup = parent.st_gid;
    step.ownersVisible = !posix::ownersMayBeHidden(fd);
    return step;
}

bool readAll(int fd, std::size_t maxBytes, std::string &bytes)
{
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0 || bytes.size() > maxBytes)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

TeachersFile readTeachersFile(const std::filesystem::path &folder, const std::string &name, std::size_t maxBytes)
{
    const std::filesystem::path path = folder / name;
    posix::WalkedPath walked = posix::walkPath(path, posix::PathRule::TeachersFolder);
    if (!walked.ok())
        return failed(walked.failure.empty() ? posix::systemReason(walked.error) : walked.failure);
    int fd;
    do
        fd = ::openat(walked.folder.get(), walked.name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        TeachersFile file = failed(errno == ELOOP    ? reasons::isALink
                                   : errno == EACCES ? reasons::permissionDenied
                                                     : posix::systemReason(errno));
        file.missing = errno == ENOENT;
        return file;
    }
    const posix::Descriptor open(fd);
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return failed(reasons::notAFile);
    if (static_cast<unsigned long long>(status.st_size) > maxBytes)
        return failed("il a " + std::to_string(status.st_size) + " octets, plus que les " + std::to_string(maxBytes)
                      + " qu'il peut avoir");
    const PathStep step = stepOf(status, walked.folder.get(), path, fd);
    if (std::string fault = teachersFileFault(step, posix::thisAccount(), posix::accountName); !fault.empty())
        return failed(std::move(fault));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    TeachersFile file;
    if (!readAll(fd, maxBytes, file.bytes))
        return failed(posix::systemReason(errno));
    if (file.bytes.size() > maxBytes)
        return failed("il a plus des " + std::to_string(maxBytes) + " octets qu'il peut avoir");
    file.ok = true;
    file.unverified = std::move(walked.unverified);
    if (!step.ownersVisible)
        file.unverified.push_back(path.string());
    return file;
}

} // namespace logfile
