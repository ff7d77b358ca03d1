#pragma once

#include "saving/logsetting.h"

#include <QStringList>

#include <optional>

class QIODevice;

// The program's arguments as runCommandLine() takes them: a file named in
// other bytes than UTF-8 still names that file (paths/paths.h, pathText).
QStringList commandLineArguments(int argc, char *argv[]);

// What the program does with its command line, before any window: --help,
// --version and --collect FILE answer in French on `out` and `err` and end
// the program, without a display. Any other argument is refused, so that
// nothing a launcher adds (a toolkit option such as -reverse) changes what
// the pupil sees. `arguments` starts with the program's name; `log` is the
// results log the help names and --collect moves. Returns the exit status
// when the program should end here (0 done, 1 failed, 2 misused), nothing
// when the exercise should start (the built-in or offered one, or the one
// "--exercice FICHIER" names: cli/exercisecommand.h).
// The paths the teacher's window is to open, when the command line asks
// for it alone ("--classe", "--classe CHEMIN...", "--classe=CHEMIN", the
// paths before it too); nothing otherwise.
std::optional<QStringList> classWindowPaths(const QStringList &arguments);

std::optional<int> runCommandLine(const QStringList &arguments, const LogLocation &log, QIODevice &out,
                                  QIODevice &err);
