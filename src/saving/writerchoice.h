#pragma once

#include "logfile/logfile.h"
#include "saving/logsetting.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <functional>

// The writers a pupil's record goes through, and the choice among them. A
// log per pupil (%u in the setting) must be the pupil's own: its writer
// refuses a file or a link that somebody else put at the pupil's name. A
// log the class shares takes every pupil's record. The rescue log is this
// account's alone. Each appends one whole record line, durable or not at all
// (logfile::appendLine).

using logfile::AppendOutcome;

AppendOutcome appendRecord(const std::filesystem::path &path, const QByteArray &line);
AppendOutcome appendToPupilLog(const std::filesystem::path &path, const QByteArray &line);
// Creates the rescue log's folders first, this account's alone.
AppendOutcome appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line);

// What saving uses to write: the real writers and standard error, unless a
// test puts others in their place.
struct RecordWriters
{
    using Append = std::function<AppendOutcome(const std::filesystem::path &, const QByteArray &)>;
    Append append = appendRecord;
    Append rescue = appendToRescueLog;
    std::function<void(const QString &)> report = reportOnStandardError;
    // Runs each append to the log: at once, unless the window keeps itself
    // painted meanwhile.
    std::function<void(const std::function<void()> &)> run = [](const std::function<void()> &job) { job(); };

    static void reportOnStandardError(const QString &text);
};

// What to tell at start-up when the log per pupil the setting names is in a
// place its writer will refuse, or cannot be made where only trying tells
// (Windows), so that the class hears of it before the end: empty when there
// is nothing to say. For the adult who comes to help.
QString pupilLogWarning(const LogLocation &log, const std::filesystem::path &rescueLog);

// What to change where a trial append to `log` failed; empty when its
// reason says it all.
QString appendTrialAdvice(const logfile::AppendTrial &trial, const std::filesystem::path &log);

// The choice of writer for the log the setting names: the pupil's-own
// writer for a log per pupil, the plain one otherwise.
RecordWriters writersFor(const LogLocation &log);
