#include "logfile/filesystem.h"

#include "logfile/openlock_unix.h"

#include <cerrno>
#include <sys/vfs.h>

namespace logfile {

namespace posix {

bool ownersMayBeHidden(int fd)
{
    struct statfs fs{};
    return ::fstatfs(fd, &fs) == 0 && isNetworkFileSystemType(static_cast<unsigned long>(fs.f_type));
}

} // namespace posix

bool onNetworkFileSystem(const std::filesystem::path &path)
{
    struct statfs fs{};
    if (::statfs(path.c_str(), &fs) != 0) {
        const std::filesystem::path folder = path.parent_path();
        if (errno != ENOENT || folder.empty() || folder == path || ::statfs(folder.c_str(), &fs) != 0)
            return false;
    }
    return isNetworkFileSystemType(static_cast<unsigned long>(fs.f_type));
}

} // namespace logfile
