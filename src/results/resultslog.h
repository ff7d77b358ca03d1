#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>

struct AppendResult
{
    bool ok = false;
    QString reason; // when not ok: the system's reason
    // When not ok: the record may be in the log all the same (the failed
    // append could not be taken back), so it must not be appended again.
    bool logTouched = false;
    // When not ok: what is at the log's path may not take the record (a
    // pupil's log that is not the pupil's own); trying again will not help.
    bool refused = false;
};

// Appends one complete record line to the log at `path`, whole and durable
// or not at all (see logfile::appendLine).
AppendResult appendRecord(const std::filesystem::path &path, const QByteArray &line);

// The same, to a log that is one pupil's own: a link there, or a file
// another account made, refuses the record (see logfile::AppendRules).
AppendResult appendToPupilLog(const std::filesystem::path &path, const QByteArray &line);

// Appends to the rescue log, creating its folder first.
AppendResult appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line);
