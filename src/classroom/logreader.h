#pragma once

#include "classroom/files.h"
#include "record/recordreader.h"

#include <QDateTime>
#include <QString>

#include <filesystem>
#include <functional>
#include <memory>

// Reads a results log as a teacher collects it, in constant memory whatever
// its size: each whole record of this exercise is handed on in log order;
// blank lines are nothing; any other line (another exercise's, junk, a torn
// last line, one too long to be a record) is counted as ignored.

struct LogReading
{
    bool ok = false;
    QString reason;        // when not ok: why the log could not be read, in French
    qint64 records = 0;
    qint64 ignoredLines = 0;
    qint64 end = 0;       // where the next reading starts: after the last line taken
    qint64 size = 0;      // the log's size when opened
    QDateTime modified;   // when the log last changed, as it was opened
    bool stopped = false; // the reader asked to stop
    // The log's owner could not be checked against the pupil its name says:
    // the file system does not show owners (a share through FUSE).
    bool ownerUnverified = false;
};

// What of a log to read. A log being watched is read again from where the
// last reading ended, and its last line, while it has no line end yet,
// waits for the next reading: it may be a record still being written.
struct ReadSpan
{
    qint64 from = 0;
    bool wholeLinesOnly = false;
    // Told the bytes read so far, now and then; returning false stops.
    std::function<bool(qint64)> progress;
};

LogReading readLog(const std::filesystem::path &path, const std::function<void(const ReadRecord &)> &take,
                   const ReadRules &rules = {}, const ReadSpan &span = {});

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
