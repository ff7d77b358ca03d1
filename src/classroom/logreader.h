#pragma once

#include "classroom/files.h"
#include "record/recordreader.h"

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

// Reads a results log as a teacher collects it, in constant memory whatever
// its size: each whole record is handed on in log order; blank lines are
// nothing; any other line (junk, a torn last line, a record edited by hand,
// one too long to be a record) is counted as ignored.

// Where a reading of a log ended, and what tells the next reading whether
// the log is still that file going on: the file's stamp as it was opened,
// and a digest of the first and the last bytes read.
struct LogMark
{
    FileStamp stamp;
    qint64 end = 0; // after the last line taken
    QByteArray digest;
    bool insideLongLine = false; // `end` falls inside a line too long to be a record
};

struct LogReading
{
    bool ok = false;
    QString reason;        // when not ok: why the log could not be read, in French
    qint64 records = 0;
    qint64 ignoredLines = 0;
    LogMark mark;         // where the next reading starts
    QDateTime modified;   // when the log last changed, as it was opened
    bool stopped = false; // the reader asked to stop
    // Asked to read on from a mark, the log was not that file going on (it
    // was replaced, rewritten or shrunk): nothing was read.
    bool replaced = false;
    // The log's owner could not be checked against the pupil its name says:
    // the file system does not show owners (a share through FUSE).
    bool ownerUnverified = false;
};

// What of a log to read. A log being watched is read again from where the
// last reading ended, when it is the same file with the same bytes there,
// and its last line, while it has no line end yet, waits for the next
// reading: it may be a record still being written.
struct ReadSpan
{
    std::optional<LogMark> after;
    bool wholeLinesOnly = false;
    // Told the bytes read so far, now and then; returning false stops.
    std::function<bool(qint64)> progress;
};

// The records of the exercises `known` and of exercises not known
// (recordreader.h) are handed to `take`.
LogReading readLog(const std::filesystem::path &path, const std::function<void(const ReadRecord &)> &take,
                   const ReadRules &rules = {}, const ReadSpan &span = {},
                   std::shared_ptr<const KnownExercises> known = KnownExercises::builtInOnly());

// Counts a log's records as readLog() finds them, from its bytes streamed
// past it in pieces (the collect, which moves the bytes it reads).
class RecordTally
{
public:
    RecordTally();
    ~RecordTally();
    RecordTally(const RecordTally &) = delete;
    RecordTally &operator=(const RecordTally &) = delete;

    void add(QByteArrayView bytes);
    // The records, once the last piece is in.
    qint64 finish();

private:
    struct Lines;
    std::unique_ptr<Lines> m_lines;
};
