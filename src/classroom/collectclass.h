#pragma once

#include "classroom/classfolder.h"
#include "saving/logsetting.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

// What --collect takes on this machine: the whole class, when the setting
// names a log per pupil by its file's name (/srv/classe/%u.txt); the one
// log, when pupils share it; nothing when the setting gives each pupil a
// folder of their own (/srv/%u/estest.txt), where no folder holds the class.
enum class CollectScope { WholeClass, OneLog, NotCollectable };
CollectScope collectScopeFor(const LogLocation &log);

// Collecting a whole class's per-pupil logs into one folder of the
// teacher's, each under its own name, through the same collect as a single
// log: no record lost or torn while pupils write, each collected file the
// teacher's alone.

struct ClassCollectOutcome
{
    int pupils = 0;  // logs collected
    int records = 0; // records in them
    // Each log left where it was, with why (in French): a link or a file
    // planted under a pupil's name, a log that could not be moved.
    QStringList leftAlone;
    // The logs collected whose owner the file system does not show (a share
    // through FUSE shows every file as the collector's): printable names.
    // The server's permissions kept them; nothing here could check.
    QStringList ownerUnverified;
    // The other files of the class folder, which the listing rule does not
    // take for pupils' logs: some of their names, printable, and how many.
    QStringList ignored;
    qsizetype ignoredCount = 0;
    // What stopped the whole collect, in French: the class folder could not
    // be read, or the destination folder made. Empty otherwise.
    QString failure;
    // Stopped when asked, between two logs: the logs not reached yet stay
    // where they were (`notReached` of them), and are not in `leftAlone`.
    bool stopped = false;
    int notReached = 0;
};

// Moves every log of `logs` (the class folder's listing rule) into
// `destination`, a folder made (readable by the collector alone) when
// missing. `progress`, told before each log how many were done of how
// many, stops the collect there by returning false.
ClassCollectOutcome collectClass(const PupilLogs &logs, const std::filesystem::path &destination,
                                 const std::function<bool(qint64, qint64)> &progress = {});
