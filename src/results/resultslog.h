#pragma once

#include <QByteArray>
#include <QString>

struct AppendResult
{
    bool ok = false;
    QString reason; // when not ok: the system's reason
};

// Appends one complete record line to the log at `path`, whole and durable
// or not at all (see logfile::appendLine).
AppendResult appendRecord(const QString &path, const QByteArray &line);

// Appends to the rescue log, creating its folder first.
AppendResult appendToRescueLog(const QString &rescuePath, const QByteArray &line);
