#include "logfile/acl_unix.h"

#include "logfile/openlock_unix.h"
#include "logfile/posixacl.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace logfile::posix {

namespace {

constexpr const char *accessList = "system.posix_acl_access";
constexpr const char *defaultList = "system.posix_acl_default";

// Attribute `name` of `fd`; nothing where there is none or the file system
// keeps none. A descriptor opened with O_PATH is read through /proc, as
// older kernels refuse it to fgetxattr.
std::optional<std::string> attribute(int fd, const char *name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const auto get = [&](char *buffer, std::size_t size) {
        ssize_t got = ::fgetxattr(fd, name, buffer, size);
        if (got < 0 && errno == EBADF)
            got = ::getxattr(self.c_str(), name, buffer, size);
        return got;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = get(nullptr, 0);
        if (size <= 0)
            return std::nullopt;
        std::string bytes(static_cast<std::size_t>(size), '\0');
        const ssize_t got = get(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return bytes;
        }
        if (errno != ERANGE) // changed meanwhile: ask its size again
            return std::nullopt;
    }
    return std::nullopt;
}

// Gives the open log the list `wanted`: as permission bits alone where it
// stands for them, taking the list off first; else as a list.
bool apply(int fd, const acl::Acl &wanted, bool hadList, unsigned specialBits)
{
    if (const std::optional<unsigned> mode = acl::asMode(wanted)) {
        if (hadList && ::fremovexattr(fd, accessList) != 0 && errno != ENODATA)
            return false;
        return ::fchmod(fd, *mode | specialBits) == 0;
    }
    const std::string bytes = acl::serialize(wanted);
    return ::fsetxattr(fd, accessList, bytes.data(), bytes.size(), 0) == 0;
}

} // namespace

std::optional<acl::Acl> accessListOf(int fd)
{
    const std::optional<std::string> bytes = attribute(fd, accessList);
    return bytes ? acl::parse(*bytes) : std::nullopt;
}

bool setAccessList(int fd, const acl::Acl &list)
{
    const std::string bytes = acl::serialize(list);
    return ::fsetxattr(fd, accessList, bytes.data(), bytes.size(), 0) == 0;
}

std::vector<AclGrant> aclGrants(int fd, bool defaultOne)
{
    const std::optional<std::string> bytes = attribute(fd, defaultOne ? defaultList : accessList);
    const std::optional<acl::Acl> list = bytes ? acl::parse(*bytes) : std::nullopt;
    return list ? acl::namedGrants(*list) : std::vector<AclGrant>{};
}

void dropInheritedAcl(int fd)
{
    ::fremovexattr(fd, accessList);
}

bool describeLog(int folder, const std::string &name, const std::string &path, LogFile &log)
{
    Descriptor file(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat status{};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return false;
    log.path = path;
    log.regular = S_ISREG(status.st_mode);
    log.mode = status.st_mode & 07777;
    log.owner = status.st_uid;
    log.group = status.st_gid;
    log.acl = aclGrants(file.get());
    log.ownersVisible = !ownersMayBeHidden(file.get());
    return true;
}

std::string keepFromClassmates(int fd, int folder, const std::string &path)
{
    struct stat status{};
    struct stat classFolder{};
    if (::fstat(fd, &status) != 0 || ::fstat(folder, &classFolder) != 0)
        return systemReason(errno);
    LogFile log{path, true, status.st_mode & 07777, status.st_uid, status.st_gid, {},
                !ownersMayBeHidden(fd)};
    const std::optional<acl::Acl> list = accessListOf(fd);
    // Where owners and modes mean nothing (a share), only a list is worth
    // narrowing.
    if (list || log.ownersVisible) {
        const acl::Acl current = list ? *list : acl::fromMode(log.mode);
        const acl::Acl wanted = acl::narrowed(current, [&](const AclGrant &grant) {
            return keptOnPupilLog(grant, log, classFolder.st_uid);
        });
        if (wanted != current)
            apply(fd, wanted, list.has_value(), log.mode & 07000);
    }
    // What counts is what the file holds now.
    if (::fstat(fd, &status) != 0)
        return systemReason(errno);
    log.mode = status.st_mode & 07777;
    log.acl = aclGrants(fd);
    const std::string fault = pupilLogFault(log, status.st_uid, classFolder.st_uid, accountName, groupName);
    return fault.empty() ? fault : fault + " ; ces droits n'ont pas pu lui être retirés";
}

} // namespace logfile::posix
