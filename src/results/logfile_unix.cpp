#include "results/logfile_unix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile::posix {

namespace {

// In a folder that others may write to, another user's link could send the
// record into a file of ours; a link of our own (or root's) to a shared log
// is what a technician sets up.
bool trustedLink(const struct stat &link)
{
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

int openWith(const std::filesystem::path &log, int flags)
{
    int fd;
    do
        fd = ::open(log.c_str(), O_RDWR | flags, 0644);
    while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == EACCES) {
        // A log we may append to but not read.
        do
            fd = ::open(log.c_str(), O_WRONLY | flags, 0644);
        while (fd < 0 && errno == EINTR);
    }
    return fd;
}

// A log created in a folder its group may write to (a class's shared folder,
// set-group-ID so that files take its group) must take the other pupils'
// records too: it is made writable by the group, whatever the umask says. In
// a private folder it stays as the umask makes it.
bool sharedFolder(const std::filesystem::path &log)
{
    const std::filesystem::path parent = log.has_parent_path() ? log.parent_path() : ".";
    struct stat folder{};
    return ::stat(parent.c_str(), &folder) == 0 && (folder.st_mode & S_IWGRP);
}

// Creates the log already writable by the group: made aside, then linked
// into place, so that another pupil never finds it still private. Fails
// with EEXIST when somebody else created it first.
int createShared(const std::filesystem::path &log)
{
    std::string aside = log.string() + ".XXXXXX";
    const int fd = ::mkostemp(aside.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    int error = 0;
    if (::fchmod(fd, 0664) != 0 || ::link(aside.c_str(), log.c_str()) != 0)
        error = errno;
    ::unlink(aside.c_str());
    if (error == 0 && ::fcntl(fd, F_SETFL, O_APPEND | O_NONBLOCK) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Never waits: a FIFO without a reader fails (ENXIO) instead of hanging, a
// lease being broken fails (EWOULDBLOCK) and is tried again.
int openForAppend(const std::filesystem::path &log, bool followLink, bool create)
{
    const int flags = O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLink ? 0 : O_NOFOLLOW);
    if (followLink)
        return openWith(log, flags | (create ? O_CREAT : 0));
    for (int attempt = 0;; ++attempt) {
        int fd = openWith(log, flags);
        if (fd >= 0 || errno != ENOENT || !create)
            return fd;
        fd = -1;
        if (sharedFolder(log)) {
            fd = createShared(log);
            // A file system without hard links: created, then shared.
            if (fd < 0 && (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)) {
                fd = openWith(log, flags | O_CREAT | O_EXCL);
                if (fd >= 0)
                    ::fchmod(fd, 0664);
            }
        } else {
            fd = openWith(log, flags | O_CREAT | O_EXCL);
        }
        if (fd >= 0)
            return fd;
        if (errno != EEXIST || attempt == 3)
            return -1;
    }
}

// Whether the path still names the file open as `fd`: same file, still
// linked, reached through no foreign link.
bool stillAtPath(const std::filesystem::path &log, int fd)
{
    struct stat mine{};
    struct stat there{};
    if (::fstat(fd, &mine) != 0 || mine.st_nlink == 0)
        return false;
    int error = 0;
    const PathState state = lookAtPath(log, error);
    if (state != PathState::File && state != PathState::OwnLink)
        return false;
    return ::stat(log.c_str(), &there) == 0 && there.st_dev == mine.st_dev
           && there.st_ino == mine.st_ino;
}

} // namespace

// In French whatever the locale: the command line runs before any locale is
// set, and a school machine may have no French locale at all.
std::string systemReason(int error)
{
    switch (error) {
    case ENOENT: return "le fichier ou un dossier du chemin n'existe pas";
    case EACCES: return "permission refusée";
    case EPERM: return "opération non permise";
    case EEXIST: return "le fichier existe déjà";
    case ENOSPC: return "il n'y a plus de place sur le disque";
    case EDQUOT: return "le quota de disque est dépassé";
    case EROFS: return "le disque est en lecture seule";
    case EIO: return "erreur d'entrée-sortie sur le disque";
    case EISDIR: return "c'est un dossier";
    case ENOTDIR: return "un élément du chemin n'est pas un dossier";
    case EFBIG: return "le fichier dépasse la taille permise";
    case ELOOP: return "trop de liens symboliques";
    case ENAMETOOLONG: return "le nom est trop long";
    case EXDEV: return "les deux fichiers ne sont pas sur le même disque";
    case EBUSY: return "le fichier est occupé";
    case EAGAIN: return "la ressource est momentanément indisponible";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case ESTALE: return "le fichier n'est plus accessible sur le partage";
    case ENOTCONN:
    case EHOSTDOWN:
    case ETIMEDOUT: return "le partage ne répond pas";
    default: return "erreur " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    reset();
    m_fd = std::exchange(other.m_fd, -1);
    return *this;
}

void Descriptor::reset()
{
    if (m_fd >= 0)
        ::close(m_fd); // also releases the lock
    m_fd = -1;
}

PathState lookAtPath(const std::filesystem::path &log, int &error)
{
    struct stat at{};
    if (::lstat(log.c_str(), &at) != 0) {
        error = errno;
        return errno == ENOENT ? PathState::Missing : PathState::Failed;
    }
    if (!S_ISLNK(at.st_mode))
        return PathState::File;
    return trustedLink(at) ? PathState::OwnLink : PathState::ForeignLink;
}

LockedLog openAndLock(const std::filesystem::path &log, Clock::time_point deadline, bool create)
{
    shared::Backoff backoff(deadline);
    for (;;) {
        int error = 0;
        const PathState state = lookAtPath(log, error);
        if (state == PathState::Failed)
            return {{}, systemReason(error)};
        if (state == PathState::ForeignLink)
            return {{}, shared::foreignLinkReason};

        Descriptor file(openForAppend(log, state == PathState::OwnLink, create));
        if (file.get() < 0) {
            error = errno;
            if (error == ENOENT && !create)
                return {{}, systemReason(error), true};
            if (error == ENXIO)
                return {{}, shared::notAFileReason};
            // A lease being broken, or the path changed since we looked.
            const bool tryAgain = error == EWOULDBLOCK || error == EAGAIN
                                  || (error == ELOOP && state != PathState::OwnLink);
            if (tryAgain && backoff.pause())
                continue;
            return {{}, tryAgain ? shared::lockedReason : systemReason(error)};
        }
        struct stat status{};
        if (::fstat(file.get(), &status) != 0)
            return {{}, systemReason(errno)};
        if (!S_ISREG(status.st_mode))
            return {{}, shared::notAFileReason};
        const int flags = ::fcntl(file.get(), F_GETFL);
        if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return {{}, systemReason(errno)};

        for (;;) {
            int result;
            do
                result = ::flock(file.get(), LOCK_EX | LOCK_NB);
            while (result != 0 && errno == EINTR);
            if (result == 0)
                break;
            if (errno != EWOULDBLOCK)
                return {{}, systemReason(errno)};
            if (!backoff.pause())
                return {{}, shared::lockedReason};
        }
        if (stillAtPath(log, file.get()))
            return {std::move(file), {}};
        // Moved away or replaced while we waited: what we locked is no
        // longer the log.
        if (Clock::now() >= deadline)
            return {{}, shared::lockedReason};
    }
}

std::optional<char> lastByte(int fd, off_t size)
{
    if (size <= 0)
        return std::nullopt;
    char last = 0;
    ssize_t read;
    do
        read = ::pread(fd, &last, 1, size - 1);
    while (read < 0 && errno == EINTR);
    return read == 1 ? std::optional<char>(last) : std::nullopt;
}

std::size_t writeAll(int fd, const char *bytes, std::size_t size)
{
    return shared::writeEverything(bytes, size, [fd](const char *part, std::size_t length) {
        ssize_t written;
        do
            written = ::write(fd, part, length);
        while (written < 0 && errno == EINTR);
        if (written == 0)
            errno = ENOSPC; // took nothing: say why as a full disk would
        return static_cast<long long>(written);
    });
}

} // namespace logfile::posix
