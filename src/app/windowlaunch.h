#pragma once

#include <QStringList>

// Whether these arguments (the program's name first) open a window rather
// than answer on the console: none at all (the pupil's exercise),
// --exercice with its file (a teacher's exercise), or --classe with only
// the paths it takes (the teacher's results). Typed in
// cmd, "morvel2 ..." is morvel2.com, which waits; a window is left to
// morvel2.exe, so that the console is not held while it is open. Anything
// else, a mistake included, is answered by the command line itself.
bool opensWindow(const QStringList &arguments);
