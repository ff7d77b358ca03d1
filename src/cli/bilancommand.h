#pragma once

#include "classroom/classfolder.h"
#include "offered/exerciselookup.h"

#include <QString>
#include <QStringList>

class QIODevice;

// The teacher's table of a class's results (morvel2 --bilan): each path a
// log, or a class folder whose logs the listing rule of `naming` finds, its
// records read by the exercises `exercises` finds. Prints a section per
// exercise on `out`, the one with the latest attempt first, and, when
// `csvFile` is given, writes every attempt there for a spreadsheet (never
// over an existing file). A path or a file that cannot be read, or that is
// set aside, is named on `err` with its reason, and the status is then 1;
// otherwise 0. An exercise file left out is named on `err` too, without
// changing the status: its results are still counted.
int runBilan(const QStringList &paths, const QString &csvFile, const LogNaming &naming, QIODevice &out,
             QIODevice &err, const ExerciseLookup &exercises = {});
