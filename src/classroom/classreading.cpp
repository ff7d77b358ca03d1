#include "classroom/classreading.h"

#include "classroom/logreader.h"
#include "paths/paths.h"

#include <QSet>

namespace {

qint64 sizeOf(const LogSource &log)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(log.file.path, error);
    return error ? -1 : static_cast<qint64>(size);
}


} // namespace

QString followedKey(const LogSource &log)
{
    return displayPath(log.file.path);
}

ClassReading::ClassReading(QStringList paths, LogNaming naming)
    : m_paths(std::move(paths))
    , m_naming(std::move(naming))
{
}

bool ClassReading::needsRereading(const ClassSources &found) const
{
    if (!m_read || m_stopped || found.logs.size() != m_followed.size() || found.rows != m_sources.rows)
        return true;
    for (const LogSource &log : found.logs) {
        const auto followed = m_followed.constFind(followedKey(log));
        if (followed == m_followed.cend())
            return true;
        const qint64 size = sizeOf(log);
        if (size >= 0 && size < followed->end)
            return true; // emptied or replaced: a collect
    }
    return false;
}

void ClassReading::read(const LogSource &log, Followed &followed, qint64 &done, qint64 total,
                        const Progress &progress)
{
    ReadSpan span;
    span.from = followed.end;
    span.wholeLinesOnly = true;
    const qint64 before = done;
    if (progress)
        span.progress = [&](qint64 bytes) { return progress(before + bytes, total); };
    bool begun = false;
    const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
        // An empty log is no pupil.
        if (!begun)
            m_report.beginPupil(printableName(log.file.pupil));
        begun = true;
        m_report.addAttempt(record);
    }, readRulesFor(log), span);
    if (!reading.ok) {
        m_readProblems.append(QStringLiteral("impossible de lire %1 : %2")
                                  .arg(printableName(displayPath(log.file.path)), reading.reason));
        return;
    }
    if (begun)
        m_report.noteLog(reading.modified, reading.ownerUnverified);
    m_report.addIgnoredLines(reading.ignoredLines);
    done = before + (reading.end - followed.end);
    followed.end = reading.end;
    followed.seen = std::max(reading.size, reading.end);
    m_stopped = m_stopped || reading.stopped;
}

ClassReading::Change ClassReading::refresh(const Progress &progress)
{
    ClassSources found = findClassSources(m_paths, m_naming);
    const bool reread = needsRereading(found);
    QList<qsizetype> toRead;
    qint64 total = 0;
    if (reread) {
        m_report = ClassReport(found.rows, true);
        m_followed.clear();
        for (const LogSource &log : std::as_const(found.logs))
            m_followed.insert(followedKey(log), {0, -1, log.file.pupil});
    }
    for (qsizetype i = 0; i < found.logs.size(); ++i) {
        const qint64 size = sizeOf(found.logs[i]);
        const Followed &followed = m_followed[followedKey(found.logs[i])];
        if (reread || (size > followed.end && size != followed.seen)) {
            toRead.append(i);
            total += std::max<qint64>(0, size - followed.end);
        }
    }
    if (!reread && toRead.isEmpty() && found.problems == m_sources.problems) {
        m_sources = found;
        return Change::None;
    }
    m_readProblems.clear();
    m_stopped = false;
    qint64 done = 0;
    for (const qsizetype index : std::as_const(toRead)) {
        if (m_stopped)
            break;
        read(found.logs[index], m_followed[followedKey(found.logs[index])], done, total, progress);
    }
    m_sources = found;
    m_read = true;
    return reread ? Change::Reread : Change::Added;
}
