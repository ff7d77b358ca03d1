#include "classroom/files.h"

#include "logfile/openlock_unix.h"
#include "logfile/reasons.h"
#include "logfile/shared.h"
#include "paths/paths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileStamp stampFrom(const struct stat &status)
{
    FileStamp stamp;
    stamp.known = true;
    stamp.volume = static_cast<quint64>(status.st_dev);
    stamp.file = static_cast<quint64>(status.st_ino);
    stamp.size = static_cast<qint64>(status.st_size);
    stamp.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.changed = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    return stamp;
}

} // namespace

FileStamp stampOf(const std::filesystem::path &path, bool followLink)
{
    struct stat status{};
    if ((followLink ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0)
        return {};
    return stampFrom(status);
}

FileStamp stampOf(int fd)
{
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return {};
    return stampFrom(status);
}

int openLogForReading(const std::filesystem::path &path, const ReadRules &rules, QString &reason,
                      bool *ownerUnverified)
{
    // O_NONBLOCK: a FIFO without a writer opens at once instead of hanging.
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (rules.followLink ? 0 : O_NOFOLLOW);
    int fd;
    do
        fd = ::open(path.c_str(), flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = QString::fromUtf8(errno == ELOOP      ? logfile::reasons::isALink
                                   : errno == ENOENT   ? "il n'existe pas"
                                   : errno == EACCES   ? logfile::reasons::permissionDenied
                                                       : "le fichier ne peut pas être lu");
        return -1;
    }
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        reason = QString::fromUtf8(logfile::reasons::notAFile);
        return -1;
    }
    if (logfile::shared::isSparse(status.st_size, status.st_blocks)) {
        ::close(fd);
        reason = QString::fromStdString(logfile::shared::sparseReason(status.st_size, status.st_blocks));
        return -1;
    }
    // Where owners are not shown, every file looks like the reader's: no
    // evidence either way, and the server's permissions kept the logs.
    const bool hidden = !rules.expectedOwner.empty() && logfile::posix::ownersMayBeHidden(fd);
    if (ownerUnverified)
        *ownerUnverified = hidden;
    // The reader's own files (a collected folder) need no look-up.
    if (!hidden && !rules.expectedOwner.empty() && status.st_uid != ::geteuid()) {
        if (const std::string owner = logfile::posix::accountName(status.st_uid); owner != rules.expectedOwner) {
            ::close(fd);
            reason = QStringLiteral("il appartient à %1, pas à %2")
                         .arg(QString::fromStdString(owner), QString::fromStdString(rules.expectedOwner));
            return -1;
        }
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int createNewFile(const std::filesystem::path &path, QString &reason)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = QString::fromUtf8(errno == EEXIST   ? logfile::reasons::exists
                                   : errno == ENOENT ? logfile::reasons::missing
                                   : errno == EACCES ? logfile::reasons::permissionDenied
                                                     : "le fichier ne peut pas être créé");
        return -1;
    }
    ::fchmod(fd, 0600); // whatever the umask took
    return fd;
}

std::string ownerName(const QString &login)
{
    return localPath(login).native();
}
