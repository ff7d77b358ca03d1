#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

// The teacher's table of a class's results (morvel2 --bilan): each path a
// log or a folder whose *.txt files are logs, one per pupil, the pupil named
// by the file name without ".txt". Prints the table on `out` and, when
// `csvFile` is given, writes every attempt there for a spreadsheet (never
// over an existing file). A path that cannot be read is named on `err` with
// its reason; the status is then 1, otherwise 0.
int runBilan(const QStringList &paths, const QString &csvFile, QIODevice &out, QIODevice &err);
