#pragma once

#include "classroom/classreport.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the window and the printed page say beside a class's tables: what
// could not be read or counted, and what the marks mean. Plain text, each
// notice once; many files alike (80 ignored, 12 unreadable) make one notice
// that counts them, their names kept apart for who wants to see them, so
// that a folder a classmate filled cannot push the tables off the screen.

struct ClassNotice
{
    QString text;      // the whole notice, plain text
    QStringList items; // a group's names or lines, at most maxNoticeItems; empty for a single notice
};

inline constexpr qsizetype maxNoticeItems = 1000;

struct NoticeSources
{
    QStringList problems; // each a line: a file or folder that could not be read, and why
    QStringList exerciseProblems; // exercise files left out, and why
    qint64 ignoredLines = 0;      // lines that are no result
    QStringList ignored;  // names of other files met, as many as the reading kept
    qint64 ignoredCount = 0; // all of them: more than `ignored` holds when the reading kept only some
    bool stopped = false;
    bool sharedSetting = false; // this machine's pupils share one log
    bool live = true;           // in the window while pupils write; false on paper
};

// Beside the tables of `report`, one exercise's: what is said of the
// class, and of that exercise.
QList<ClassNotice> classNotices(const ClassReport &report, const NoticeSources &sources);
