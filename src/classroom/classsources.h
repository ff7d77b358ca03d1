#pragma once

#include "classroom/classfolder.h"
#include "classroom/classreport.h"
#include "classroom/files.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <filesystem>

// The logs a teacher asked to see (morvel2 --bilan, the class's window):
// each path a class folder, whose logs its listing rule finds, or a file.
// One file alone is read as attempts, one row each (it may mix pupils);
// several files named together (a shell's cm1-*) go through the listing
// rule as a folder's would, so that the teacher's own spreadsheet is not
// taken for a pupil.

struct LogSource
{
    PupilLogFile file;
    bool named = false; // by the teacher: read through a link too
};

struct ClassSources
{
    // The logs, pupils in French order, each pupil's in the order of their
    // files' last change: a pupil's last attempt across two folders is the
    // latest one written.
    QList<LogSource> logs;
    // Each path or file that could not be listed or was set aside, with why
    // (French, printable).
    QStringList problems;
    // Other files met: some of their names (at most about
    // `ignoredNamesKept`), printable, in French order, and how many in all.
    QStringList ignored;
    qsizetype ignoredCount = 0;
    ReportRows rows = ReportRows::Pupils;
};

ClassSources findClassSources(const QStringList &paths, const LogNaming &naming);

// How a log is opened: a file the teacher named through a link too; one
// found in a class folder only when it is its pupil's (or the reader's).
ReadRules readRulesFor(const LogSource &log);
