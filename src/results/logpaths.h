#pragma once

#include <QString>

// Where the program's files live. The exercise names them by fixed Windows
// paths on drive C; on a system without drive letters the root of drive C
// stands for the user's home folder, so "c:\estest.txt" is ~/estest.txt.

// The local path for a fixed "c:\..." path.
QString driveRootPath(const QString &windowsPath);

// The results log that every finished exercise appends to.
QString resultsLogPath();

// Where a record goes when the results log cannot take it, so that it is
// not lost: estest.txt in the user's application data folder.
QString rescueLogPath();
