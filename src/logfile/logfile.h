#pragma once

// Appending one line to a log that other processes, on this machine or on
// others sharing the folder, may be appending to at the same moment; and
// collecting that log under the same lock.
// Plain C++ with no Qt in it, so that each platform's branch can be built and
// tested on its own.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace logfile {

struct AppendOutcome
{
    bool ok = false;
    std::string reason; // when not ok: why, as the system puts it (UTF-8)
    // When not ok: part or all of the line may be in the log and could not be
    // taken back, so appending it again could leave it there twice.
    bool logTouched = false;
    // When not ok: the log's rules refuse what is at its path (a pupil's
    // log that is somebody else's file, or a link); trying again is useless.
    bool refused = false;
    // When ok: the log was created here, but the file system did not take
    // the mode asked for it (0640 for a pupil's log); a share's server
    // settings then say who may read it. Never set on Windows.
    bool modeUnset = false;

    static AppendOutcome failed(std::string why, bool refusedByRules = false)
    {
        return {false, std::move(why), false, refusedByRules};
    }
};

struct AppendRules
{
    // The log is the pupil's own, in a class folder others may write to:
    // see `ownLogOnly` below.
    bool ownLogOnly = false;
    // A log of this account's alone (the rescue log): created readable by
    // nobody else (0600).
    bool privateLog = false;
};

// Appends `line` (which carries its own line end) so that it lands whole and
// on disk, in the file the path names, or not at all:
// - the path is walked one name at a time from the root, and a symbolic
//   link anywhere in it is followed only when it belongs to the user or to
//   root; opening never blocks (a FIFO, a lease), and anything but a regular
//   file is refused;
// - with `rules.ownLogOnly` (a log per pupil), a link at the log's name, or
//   a file there that belongs to another account, is refused; the log is
//   created readable by its group and nobody else (0640), whatever the
//   umask. On Windows the share's permissions do that work;
// - an exclusive lock on the file is held for the append; once it is taken,
//   the path must still name the locked file (a teacher may have moved the
//   log away meanwhile), or the log is opened and locked again. Opening,
//   locking and writing together wait at most `lockWait`;
// - a log whose last byte is not a line feed (a line torn by an earlier
//   crash), or whose last byte cannot be read, first gets a line end, so two
//   records never share a line; only that byte is read;
// - the line goes out in one write (continued after a short write) and is
//   flushed to the disk before the append counts as done;
// - a failure truncates the log back to the size it had before, so no
//   partial line stays behind, but only while the log still ends where this
//   append left it: a line that another program added meanwhile is never
//   cut. Where that undo is impossible, the outcome says the log was
//   touched.
AppendOutcome appendLine(const std::filesystem::path &log, std::string_view line,
                         std::chrono::milliseconds lockWait = std::chrono::seconds(10),
                         const AppendRules &rules = {});

struct CollectOutcome
{
    bool ok = false;
    int records = 0;        // records moved to the destination (blank lines are none)
    bool noLog = false;     // there was no log to collect: nothing done
    bool destinationExists = false;
    bool destinationAtFault = false; // when not ok: the destination, not the log, is what failed
    std::string reason;     // when not ok: why, in French (UTF-8)
    // When not ok: the log belongs to another account than the one its name
    // says (a file planted under a classmate's name), and was left alone.
    bool planted = false;
    // With `expectedOwner`: the file system does not show who owns the log
    // (a share through FUSE shows every file as the collector's), so its
    // owner was not checked; the server's permissions kept it.
    bool ownerUnverified = false;

    static CollectOutcome failed(std::string why, bool atDestination = false)
    {
        CollectOutcome outcome;
        outcome.reason = std::move(why);
        outcome.destinationAtFault = atDestination;
        return outcome;
    }
};

// Moves the log to `destination` for a teacher to read, holding the lock the
// writers take, so that no record is lost or torn meanwhile: a writer that
// was waiting finds the path no longer names what it opened and starts a
// new log. Both paths are walked as an append's is. The collected file is
// the collector's, readable by nobody else (0600): a rename where the log is
// the collector's own and on the same file system; otherwise a copy to a
// hidden name beside the destination, flushed, renamed into place, and only
// then the log removed, so that an interruption leaves each record in the
// log or in the destination, not in both (a termination signal during the
// copy stops it cleanly first). An existing `destination` is never
// replaced. With `expectedOwner`, a log that belongs to another account is
// not collected (`planted`), unless the file system hides owners
// (`ownerUnverified`); nor is a sparse log, which claims far more
// than the disk holds for it. On Windows, where a log held open by a waiting
// writer cannot be moved, the records are copied out and the log emptied
// instead, under the same lock. The wait is bounded like an append's.
struct CollectRules
{
    std::string expectedOwner; // the login name the log must belong to, when not empty
    // Sees the log's bytes as they are read under the lock, before they are
    // moved: the caller counts its records as it reads them elsewhere.
    std::function<void(const char *bytes, std::size_t size)> observe;
};
CollectOutcome collectLog(const std::filesystem::path &log, const std::filesystem::path &destination,
                          std::chrono::milliseconds lockWait = std::chrono::seconds(10),
                          const CollectRules &rules = {});

// Where a log would go, judged before anything is written: the path walked
// as an append walks it, with the rules of a pupil's own log when
// `ownLogOnly`, nothing opened or created.
struct PathCheck
{
    bool reachable = true;  // the folder that holds the log is there
    bool safe = true;       // no rule refuses the way to it
    std::string reason;     // when not reachable or not safe, in French
    // The entries of the path whose owners the file system does not show:
    // nothing was judged there, the server's permissions rule.
    std::vector<std::string> unverified;
    // The log's folder is on a network or FUSE file system, where one
    // machine's lock may not keep another's append out.
    bool network = false;
    // False where the program could not judge the way at all (Windows, where
    // the folder's rights could not be read).
    bool judged = true;
    // Whether this account may create the log there is the server's to say
    // (Windows): only trying tells (tryAppend below).
    bool trialNeeded = false;
    // The folder's rights let others than the teachers list it or read the
    // logs made in it (Windows, where the writer cannot refuse for it):
    // why, in French.
    std::string exposure;
    // The class folder is the account's own: the teacher's, when the teacher
    // runs the check. Not safe then for this account's own records; what
    // else is wrong with the folder, if anything, in French.
    bool ownFolder = false;
    std::string ownFolderFault;
    // Not safe, because of the log as it stands (an access control list
    // that lets a classmate read it): the pupil's next record takes that
    // away first.
    bool fixedAtNextRecord = false;
    // What is worth knowing, in French, though nothing is unsafe for it.
    std::vector<std::string> notes;
};
PathCheck checkLogPath(const std::filesystem::path &log, bool ownLogOnly);

// Whether a record could be appended to `log` now, tried as an append
// tries it short of writing: the log made when it is missing, opened for
// appending and locked, with the rules of a pupil's own log when
// `ownLogOnly`; then what was made for the trial removed, if it is still
// empty and the same file.
struct AppendTrial
{
    bool ok = false;
    std::string reason;      // when not ok, in French
    bool created = false;    // the log was made for the trial
    bool leftBehind = false; // made, but it could not be removed: it stays, empty
    // Under Wine, making a file in a folder this account may not list is
    // refused: Wine looks for the name through the folder's listing.
    bool wineListing = false;
};
AppendTrial tryAppend(const std::filesystem::path &log, bool ownLogOnly);

} // namespace logfile
