#pragma once

#include "classroom/classresults.h"
#include "classroom/classsources.h"
#include "classroom/logreader.h"
#include "offered/exerciselookup.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A class's results kept up to date while pupils write: each refresh lists
// the class folders again and, of each log whose stamp changed, reads only
// what was added, up to its last whole line (a record still being written
// waits for the next refresh), when it is the same file going on with the
// same bytes before. A log replaced, rewritten or shrunk, one that could
// not be read and changed since, or a pupil who came or went, makes it read
// everything again. A reading stopped half-way goes on from where it
// stopped at the next refresh. What could not be read is said until its
// file changes or goes. It only reads: nothing in the class folder is
// locked, moved or created. The exercises the records are read by are
// looked for again at each whole reading.
class ClassReading
{
public:
    ClassReading(QStringList paths, LogNaming naming, ExerciseLookup exercises = {});

    enum class Change { None, Added, Reread };
    // Told the bytes read and the bytes to read, now and then; returning
    // false stops, and the report is then what was read so far.
    using Progress = std::function<bool(qint64, qint64)>;
    Change refresh(const Progress &progress = {});

    const ClassResults &results() const { return m_results; }
    const ClassSources &sources() const { return m_sources; }
    // The paths and logs that could not be read or were set aside, with why.
    QStringList problems() const;
    // The exercise files left out, with why.
    QStringList exerciseProblems() const { return m_results.known()->problems(); }
    bool stopped() const { return m_stopped; }
    const QStringList &paths() const { return m_paths; }
    // How long the last refresh took to list the class, in milliseconds.
    qint64 listingTime() const { return m_listingTime; }

private:
    struct Followed
    {
        std::optional<LogMark> mark; // where its reading stands; none: not read yet
        // Read to its end as stamped, not stopped half-way, and stamped long
        // enough after its last change for the stamp to show the next one.
        bool settled = false;
        FileStamp seen;              // as it was when `problem` was found
        QString problem;             // why it could not be read
    };
    // The logs to read on, or nothing when everything must be read again.
    std::optional<QList<qsizetype>> logsToReadOn(const ClassSources &found, const QList<FileStamp> &stamps) const;
    enum class Outcome { Nothing, Something, Replaced };
    // Reads each log on from its mark: whether something new came, or one
    // was not the file going on and the whole class must be read again.
    Outcome readLogs(const ClassSources &found, const QList<qsizetype> &logs, const QList<FileStamp> &stamps,
                     const Progress &progress);

    QStringList m_paths;
    LogNaming m_naming;
    ExerciseLookup m_exercises;
    ClassSources m_sources;
    ClassResults m_results;
    QHash<QString, Followed> m_followed; // by the log's path
    qint64 m_listingTime = 0;
    bool m_read = false;
    bool m_stopped = false;
};

// The key the reading follows a log by.
QString followedKey(const LogSource &log);
