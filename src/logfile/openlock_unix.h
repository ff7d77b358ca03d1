#pragma once

// Opening and locking the results log on POSIX systems, for the append and
// the collection alike.

#include "logfile/shared.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include <sys/types.h>

namespace logfile::posix {

using shared::Clock;

std::string systemReason(int error);

// The login name of account `uid`, or its number where it has none; the
// same for group `gid`.
std::string accountName(unsigned uid);
std::string groupName(unsigned gid);

// An open file, closed (and so unlocked) when it goes out of scope.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    void reset();

private:
    int m_fd = -1;
};

// How the log may be opened.
struct OpenRules
{
    bool create = false;      // create it when missing
    bool readOnly = false;    // for collecting: read, never write
    // A pupil's own log: a link at its name, or a file that belongs to
    // somebody else (planted by a classmate), is refused; created, it is
    // readable by its group (the teachers') and by nobody else.
    bool ownLogOnly = false;
    bool privateFile = false; // created readable by its owner alone
};

struct LockedLog
{
    Descriptor file;
    Descriptor folder;    // the folder that holds it, as the walk reached it
    std::string name;     // its name in that folder
    std::string failure;  // empty once locked
    bool missing = false; // not created, there being no log
    bool refused = false; // the rules refuse what is there: trying again will not help
    // Created, but without the mode it was to have: the file system keeps
    // modes of its own (a share, whose server decides them).
    bool modeUnset = false;

    static LockedLog failed(std::string why, bool refusedByRules = false)
    {
        LockedLog locked;
        locked.failure = std::move(why);
        locked.refused = refusedByRules;
        return locked;
    }
};

// Whether the file open as `fd` is on a network or FUSE file system, where
// owners are often the mounting account's, whoever made the file, and the
// server's permissions rule (logfile/filesystem.h).
bool ownersMayBeHidden(int fd);

// Creates a new file beside `name` in `folder`, under a hidden name nobody
// else picks (".NAME.PID.TIME.N"), readable by its owner alone and open with
// `access` (O_RDWR or O_WRONLY); its name in `hidden`. -1 and errno when it
// cannot.
int createHidden(int folder, const std::string &name, int access, std::string &hidden);

// Removes `name` from `folder` once a descriptor of it has just been closed:
// a share may still hold it open a moment (EBUSY), so that is waited out,
// for a second at most. 0, or the error.
int removeClosed(int folder, const std::string &name);

// Reaches the log through the path walk (pathwalk_unix.h), opens it
// (creating it when asked), never blocking on the open, and takes the
// writers' exclusive lock on it, until the path names the file that is
// locked (a teacher may have moved the log away meanwhile), all before
// `deadline`.
LockedLog openAndLock(const std::filesystem::path &log, Clock::time_point deadline, const OpenRules &rules);

// The open log's last byte, or nothing when it cannot be read. It allocates
// nothing: the rescue calls it from a signal handler.
std::optional<char> lastByte(int fd, off_t size);

// Writes all of `size` bytes to `fd` and returns the number written; when
// that is fewer, errno says why. Allocates nothing.
std::size_t writeAll(int fd, const char *bytes, std::size_t size);

} // namespace logfile::posix
