#pragma once

#include <QString>

#include <filesystem>

// Where the program's files live. The exercise names them by fixed Windows
// paths on drive C; on a system without drive letters the root of drive C
// stands for the user's home folder, so "c:\estest.txt" is ~/estest.txt.
// Paths are kept as the bytes the system gave: a home folder whose name is
// not valid UTF-8 must still work.

// The user's home folder: HOME when it is an absolute path, otherwise the
// one the password database gives (HOME may be unset, empty or relative in a
// service's or a launcher's environment).
std::filesystem::path homeFolder();

// The local path for a fixed "c:\..." path.
std::filesystem::path driveRootPath(const QString &windowsPath);

// The results log that every finished exercise appends to.
std::filesystem::path resultsLogPath();

// Where a record goes when the results log cannot take it, so that it is
// not lost: morvel2/estest.txt in the user's data folder.
std::filesystem::path rescueLogPath();

// A path as a person reads it in a message, and back.
QString displayPath(const std::filesystem::path &path);
std::filesystem::path localPath(const QString &path);
