#pragma once

// Reaching a log one name at a time from the root, so that nobody can send a
// record elsewhere by putting a symbolic link in the path: a link is
// followed only where it belongs to the user or to root (a technician's link
// to a shared folder), and what is opened afterwards is opened relative to
// the folder the walk holds, never looked up by its whole name again.

#include "logfile/folderrule.h"
#include "logfile/openlock_unix.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace logfile::posix {

struct WalkedPath
{
    Descriptor folder; // the folder that holds the last name, held open
    std::string name;  // the last name, never a link (it may not exist)
    int error = 0;        // when the walk failed: the system's error...
    std::string failure;  // ...or why, in French, when a link stopped it
    // The walk stopped at a link or a folder that the rules refuse, not at
    // an error that trying again could cure.
    bool refused = false;
    // For a pupil's own log: the entries of the path whose owners the file
    // system does not show, which the rule could not judge.
    std::vector<std::string> unverified;
    std::string at; // the folder that holds the last name, as a person reads it
    // For a pupil's own log: the class folder is the account's own.
    bool ownFolder = false;

    bool ok() const { return error == 0 && failure.empty(); }

    static WalkedPath failed(int systemError)
    {
        WalkedPath walked;
        walked.error = systemError != 0 ? systemError : EIO;
        return walked;
    }
    static WalkedPath refusedBy(std::string why)
    {
        WalkedPath walked;
        walked.failure = std::move(why);
        walked.refused = true;
        return walked;
    }
};

// What the walk asks of the path besides its links.
enum class PathRule {
    Any,
    PupilsLog,      // the rule for a pupil's log (logfile/folderrule.h)
    TeachersFolder, // the rule for a file of a teacher's folder, its last folder
};

// Walks `path` (relative to the current folder when it is not absolute).
// Links in folders of the path are followed when they are the user's or
// root's and refused otherwise; a link at the last name too, unless a rule
// other than `Any` applies: then any link there is refused, and every
// folder and link of the path must pass that rule.
WalkedPath walkPath(const std::filesystem::path &path, PathRule rule);
inline WalkedPath walkPath(const std::filesystem::path &path, bool ownLogOnly)
{
    return walkPath(path, ownLogOnly ? PathRule::PupilsLog : PathRule::Any);
}

// This account, as the rules see it: its user id and its groups.
PupilAccount thisAccount();
std::string groupName(unsigned gid);

// Whether `fd` and `name` in `folder` are the same file.
bool sameFile(int fd, int folder, const std::string &name);

} // namespace logfile::posix
