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
};

// Appends one complete record line to the log at `path`, whole and durable
// or not at all (see logfile::appendLine).
AppendResult appendRecord(const std::filesystem::path &path, const QByteArray &line);

// Appends to the rescue log, creating its folder first.
AppendResult appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line);
