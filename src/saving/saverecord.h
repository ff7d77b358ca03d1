#pragma once

#include "saving/writerchoice.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <functional>

// Saving a finished exercise's record: the policy around the writer. The
// record is appended to the results log, whole or not at all. Until it lands,
// the person at the machine is asked whether to try again (after freeing the
// disk, plugging the drive back in...); a record given up on goes to the
// rescue log and to standard error, so that a teacher can still find it. A
// record that may be in the log already, in part or whole, is not offered
// again: it is rescued at once, as is one the log refuses for good. From
// the first try until it is saved, the session's end rescues it too
// (results/pendingrecord.h).

struct RecordDestination
{
    std::filesystem::path log;
    std::filesystem::path rescueLog;
};

struct SaveOutcome
{
    enum class Place { Log, RescueLog, Nowhere };
    Place place = Place::Nowhere;
    // The log may hold part of the record (a failed append could not be
    // taken back), so it was rescued at once rather than offered again.
    bool logTouched = false;
    // The log refused the record for good (a pupil's log planted by somebody
    // else), so it was rescued at once rather than offered again.
    bool refused = false;
    QString logName;    // the log as a person reads it
    QString rescueName; // the rescue log as a person reads it
    QString reason;     // the system's reason for the log's last failure
    QString rescueReason; // when the rescue log failed too: the system's reason

    bool inLog() const { return place == Place::Log; }
};

// Asked after each failure that can be tried again: the log as a person
// reads it and the system's reason; true to try again.
using AskToRetry = std::function<bool(const QString &logName, const QString &reason)>;

// Saves `line` (the record's bytes, `text` as a person reads it).
SaveOutcome saveRecord(const RecordDestination &destination, const QByteArray &line,
                       const QString &text, const AskToRetry &askToRetry,
                       const RecordWriters &writers = {});
