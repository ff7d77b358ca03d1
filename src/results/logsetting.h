#pragma once

#include <QString>

#include <filesystem>

// Where the results log lives can be set once for a whole class by a
// technician: key `log` of group `results`, an absolute path. On Linux the
// system-wide files are morvel2/morvel2.conf in each folder of
// XDG_CONFIG_DIRS (/etc/xdg by default), the user's ~/.config/morvel2/
// morvel2.conf, and the user's wins; on Windows the same keys are in the
// registry under Software\morvel2\morvel2, HKCU before HKLM. Without a
// setting the log stays where it always was.

struct LogLocation
{
    std::filesystem::path path;
    // A setting that could not be used, said for the technician; the
    // default path is used instead.
    QString warning;
};

LogLocation resultsLogLocation();
