#include "logfile/openlock_unix.h"

#include "logfile/acl_unix.h"
#include "logfile/pathwalk_unix.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace logfile::posix {

namespace {

int openAt(int folder, const std::string &name, int flags, mode_t mode = 0)
{
    int fd;
    do
        fd = ::openat(folder, name.c_str(), flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int openWith(int folder, const std::string &name, int flags, mode_t mode)
{
    const int fd = openAt(folder, name, O_RDWR | flags, mode);
    if (fd >= 0 || errno != EACCES)
        return fd;
    // A log we may append to but not read.
    const int writeOnly = openAt(folder, name, O_WRONLY | flags, mode);
    // Some share clients cannot open a file for writing alone (EIO, EINVAL):
    // the first refusal says why better. Any other error (ENXIO: a FIFO)
    // says what is there.
    if (writeOnly < 0 && (errno == EIO || errno == EINVAL))
        errno = EACCES;
    return writeOnly;
}

// A log created in a folder its group may write to (a class's shared folder,
// set-group-ID so that files take its group) must take the other pupils'
// records too: it is made writable by the group, whatever the umask says. In
// a private folder it stays as the umask makes it.
bool sharedFolder(int folder)
{
    struct stat status{};
    return ::fstat(folder, &status) == 0 && (status.st_mode & S_IWGRP);
}

// Removes the hidden file made aside, closing `fd` first where the file
// system will not remove a file still open (a share: EBUSY); -1 then.
int removeAside(int folder, const std::string &aside, int fd)
{
    if (::unlinkat(folder, aside.c_str(), 0) == 0 || errno != EBUSY)
        return fd;
    ::close(fd);
    removeClosed(folder, aside);
    return -1;
}

// Creates the log with `mode` exactly, whatever the umask: made aside, then
// linked into place, so that nobody ever finds it with other permissions.
// Fails with EEXIST when somebody else created it first; with EPERM,
// EOPNOTSUPP or EMLINK where the file system has no hard links, nothing
// left behind.
int createWithMode(int folder, const std::string &name, int flags, mode_t mode)
{
    std::string aside;
    int fd = createHidden(folder, name, O_RDWR, aside);
    if (fd < 0)
        return -1;
    int error = 0;
    if (::fchmod(fd, mode) != 0 || ::linkat(folder, aside.c_str(), folder, name.c_str(), 0) != 0)
        error = errno;
    fd = removeAside(folder, aside, fd);
    // Linked, but closed to let the aside name go: open it again by name.
    if (error == 0 && fd < 0 && (fd = openWith(folder, name, flags & ~O_CREAT, 0)) < 0)
        error = errno;
    if (error == 0 && ::fcntl(fd, F_SETFL, flags & (O_APPEND | O_NONBLOCK)) != 0)
        error = errno;
    if (error != 0) {
        if (fd >= 0)
            ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Whether the open file has `mode` now: a share's client may accept a
// fchmod and leave the mode as its server decides.
bool hasMode(int fd, mode_t mode)
{
    struct stat status{};
    return ::fstat(fd, &status) == 0 && (status.st_mode & 07777) == mode;
}

// Never waits: a FIFO without a reader fails (ENXIO) instead of hanging, a
// lease being broken fails (EWOULDBLOCK) and is tried again. Never follows
// a link: the walk has already resolved the ones it trusts. `modeUnset`
// says whether a log it created lacks the mode it was to have.
int openLog(int folder, const std::string &name, const OpenRules &rules, bool &modeUnset)
{
    const int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
    if (rules.readOnly)
        return openAt(folder, name, O_RDONLY | flags);
    for (int attempt = 0;; ++attempt) {
        int fd = openWith(folder, name, flags | O_APPEND, 0);
        if (fd >= 0 || errno != ENOENT || !rules.create)
            return fd;
        const std::optional<mode_t> mode = rules.privateFile   ? std::optional<mode_t>(0600)
                                           : rules.ownLogOnly  ? std::optional<mode_t>(0640)
                                           : sharedFolder(folder) ? std::optional<mode_t>(0664)
                                                                  : std::nullopt;
        fd = -1;
        if (mode) {
            fd = createWithMode(folder, name, flags | O_APPEND, *mode);
            // A file system without hard links: created, then given its mode.
            if (fd < 0 && (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)) {
                fd = openWith(folder, name, flags | O_APPEND | O_CREAT | O_EXCL, 0600);
                if (fd >= 0) {
                    dropInheritedAcl(fd);
                    ::fchmod(fd, *mode);
                }
            }
            modeUnset = fd >= 0 && !hasMode(fd, *mode);
        } else {
            fd = openWith(folder, name, flags | O_APPEND | O_CREAT | O_EXCL, 0644);
        }
        if (fd >= 0)
            return fd;
        if (errno != EEXIST || attempt == 3)
            return -1;
    }
}

// Whether the path, walked again, still reaches the file open as `fd`.
bool stillAtPath(const std::filesystem::path &log, int fd, const OpenRules &rules)
{
    const WalkedPath walked = walkPath(log, rules.ownLogOnly);
    return walked.ok() && sameFile(fd, walked.folder.get(), walked.name);
}

// What an open that failed with `error` means; nothing when it is worth
// trying again (a lease being broken, a link put at the name since the
// walk) and there is time left.
std::optional<LockedLog> failedOpen(int error, int folder, const std::string &name, const OpenRules &rules,
                                    shared::Backoff &backoff)
{
    if (error == ENOENT && !rules.create) {
        LockedLog locked = LockedLog::failed(systemReason(error));
        locked.missing = true;
        return locked;
    }
    // A pupil's log is never anything but a file of the pupil's: a folder
    // or a FIFO at that name, or a file the pupil may not open, was put
    // there by somebody else.
    struct stat there{};
    if (error == EACCES && rules.ownLogOnly && ::fstatat(folder, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0
        && there.st_uid != ::geteuid())
        return LockedLog::failed(reasons::foreignOwner, true);
    if (error == ENXIO || (error == EISDIR && rules.ownLogOnly))
        return LockedLog::failed(reasons::notAFile, rules.ownLogOnly);
    const bool tryAgain = error == EWOULDBLOCK || error == EAGAIN || error == ELOOP;
    if (tryAgain && backoff.pause())
        return std::nullopt;
    return LockedLog::failed(tryAgain ? reasons::locked : systemReason(error));
}

// Why the open file may not be taken as the log, or nothing; it is made to
// block again for the lock and the writes.
std::optional<LockedLog> refusedFile(int fd, const OpenRules &rules)
{
    struct stat status{};
    if (::fstat(fd, &status) != 0)
        return LockedLog::failed(systemReason(errno));
    if (!S_ISREG(status.st_mode))
        return LockedLog::failed(reasons::notAFile, rules.ownLogOnly);
    // A file at a pupil's name that another account made: planted there to
    // read or change that pupil's records.
    if (rules.ownLogOnly && status.st_uid != ::geteuid())
        return LockedLog::failed(reasons::foreignOwner, true);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return LockedLog::failed(systemReason(errno));
    return std::nullopt;
}

// Takes the writers' exclusive lock, polling until the backoff's deadline;
// empty, or why not.
std::string lockWithin(int fd, shared::Backoff &backoff)
{
    for (;;) {
        int result;
        do
            result = ::flock(fd, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
        if (result == 0)
            return {};
        if (errno != EWOULDBLOCK)
            return systemReason(errno);
        if (!backoff.pause())
            return reasons::locked;
    }
}

} // namespace

// In French whatever the locale: the command line runs before any locale is
// set, and a school machine may have no French locale at all.
std::string systemReason(int error)
{
    switch (error) {
    case ENOENT: return reasons::missing;
    case EACCES: return reasons::permissionDenied;
    case EPERM: return "opération non permise";
    case EEXIST: return reasons::exists;
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

std::string accountName(unsigned uid)
{
    const passwd *entry = ::getpwuid(uid);
    return entry && entry->pw_name ? std::string(entry->pw_name) : std::to_string(uid);
}

std::string groupName(unsigned gid)
{
    const group *entry = ::getgrgid(gid);
    return entry && entry->gr_name ? std::string(entry->gr_name) : std::to_string(gid);
}

int createHidden(int folder, const std::string &name, int access, std::string &hidden)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        hidden = "." + name + "." + std::to_string(::getpid()) + "."
                 + std::to_string(Clock::now().time_since_epoch().count()) + "." + std::to_string(attempt);
        const int fd = openAt(folder, hidden, access | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            // A folder's default access list may have given classmates the
            // right to read it; and the umask may have taken the owner's
            // rights away.
            dropInheritedAcl(fd);
            ::fchmod(fd, 0600);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

int removeClosed(int folder, const std::string &name)
{
    // A FUSE client closes on the server after close() has returned.
    shared::Backoff backoff(Clock::now() + std::chrono::seconds(1));
    for (;;) {
        if (::unlinkat(folder, name.c_str(), 0) == 0)
            return 0;
        if (errno != EBUSY || !backoff.pause())
            return errno;
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

LockedLog openAndLock(const std::filesystem::path &log, Clock::time_point deadline, const OpenRules &rules)
{
    shared::Backoff backoff(deadline);
    for (;;) {
        WalkedPath walked = walkPath(log, rules.ownLogOnly);
        if (!walked.failure.empty())
            return LockedLog::failed(walked.failure, walked.refused);
        if (walked.error != 0) {
            LockedLog locked = LockedLog::failed(systemReason(walked.error));
            locked.missing = walked.error == ENOENT && !rules.create;
            return locked;
        }
        bool modeUnset = false;
        Descriptor file(openLog(walked.folder.get(), walked.name, rules, modeUnset));
        if (file.get() < 0) {
            if (std::optional<LockedLog> failed = failedOpen(errno, walked.folder.get(), walked.name, rules, backoff))
                return std::move(*failed);
            continue;
        }
        if (std::optional<LockedLog> refused = refusedFile(file.get(), rules))
            return std::move(*refused);
        if (const std::string why = lockWithin(file.get(), backoff); !why.empty())
            return LockedLog::failed(why);
        if (stillAtPath(log, file.get(), rules)) {
            LockedLog locked;
            locked.file = std::move(file);
            locked.folder = std::move(walked.folder);
            locked.name = std::move(walked.name);
            locked.modeUnset = modeUnset;
            return locked;
        }
        // Moved away or replaced while we waited: what we locked is no
        // longer the log.
        if (Clock::now() >= deadline)
            return LockedLog::failed(reasons::locked);
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
