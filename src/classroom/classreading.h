#pragma once

#include "classroom/classreport.h"
#include "classroom/classsources.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// A class's results kept up to date while pupils write: each refresh lists
// the class folders again and reads only what was added to each log since,
// up to its last whole line (a record still being written waits for the
// next refresh). A log that shrank or was replaced, or a pupil who came or
// went, makes it read everything again. It only reads: nothing in the class
// folder is locked, moved or created.
class ClassReading
{
public:
    ClassReading(QStringList paths, LogNaming naming);

    enum class Change { None, Added, Reread };
    // Told the bytes read and the bytes to read, now and then; returning
    // false stops, and the report is then what was read so far.
    using Progress = std::function<bool(qint64, qint64)>;
    Change refresh(const Progress &progress = {});

    const ClassReport &report() const { return m_report; }
    const ClassSources &sources() const { return m_sources; }
    // The paths and logs that could not be read or were set aside, with why.
    QStringList problems() const { return m_sources.problems + m_readProblems; }
    bool stopped() const { return m_stopped; }
    const QStringList &paths() const { return m_paths; }

private:
    struct Followed
    {
        qint64 end = 0;
        qint64 seen = -1; // the size it had when last read: a line still unended waits for more
        QString pupil;
    };
    bool needsRereading(const ClassSources &found) const;
    void read(const LogSource &log, Followed &followed, qint64 &done, qint64 total, const Progress &progress);

    QStringList m_paths;
    LogNaming m_naming;
    ClassSources m_sources;
    ClassReport m_report;
    QHash<QString, Followed> m_followed; // by the log's path
    QStringList m_readProblems;
    bool m_read = false;
    bool m_stopped = false;
};

// The key the reading follows a log by.
QString followedKey(const LogSource &log);
