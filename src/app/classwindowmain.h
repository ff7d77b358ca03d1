#pragma once

#include "saving/logsetting.h"
#include "teacher/classwindow.h"

#include <QStringList>

// What the teacher's window opens on this machine when given no path: the
// class folder when the setting names a log per pupil by its file's name,
// otherwise the one log the setting (or the default) names.
ClassWindowContext classWindowContext(const QStringList &paths, const LogLocation &log);

// Opens "Résultats de la classe" on `paths` (this machine's class when
// empty) and returns the program's exit status once it is closed.
int runClassWindow(const QStringList &paths, char *programName);
