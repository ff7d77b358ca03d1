#include "classroom/classreading.h"

#include "paths/paths.h"

#include <QElapsedTimer>

namespace {

bool sameListing(const ClassSources &a, const ClassSources &b)
{
    if (a.rows != b.rows || a.problems != b.problems || a.ignored != b.ignored || a.ignoredCount != b.ignoredCount
        || a.logs.size() != b.logs.size())
        return false;
    for (qsizetype i = 0; i < a.logs.size(); ++i)
        if (a.logs[i].file.path != b.logs[i].file.path || a.logs[i].file.pupil != b.logs[i].file.pupil)
            return false;
    return true;
}

} // namespace

QString followedKey(const LogSource &log)
{
    return displayPath(log.file.path);
}

ClassReading::ClassReading(QStringList paths, LogNaming naming, ExerciseLookup exercises)
    : m_paths(std::move(paths))
    , m_naming(std::move(naming))
    , m_exercises(std::move(exercises))
{
}

QStringList ClassReading::problems() const
{
    QStringList problems = m_sources.problems;
    for (const LogSource &log : m_sources.logs)
        if (const auto followed = m_followed.constFind(followedKey(log));
            followed != m_followed.cend() && !followed->problem.isEmpty())
            problems.append(followed->problem);
    return problems;
}

std::optional<QList<qsizetype>> ClassReading::logsToReadOn(const ClassSources &found,
                                                           const QList<FileStamp> &stamps) const
{
    if (!m_read || found.rows != m_sources.rows || found.logs.size() != m_followed.size())
        return std::nullopt;
    QList<qsizetype> logs;
    for (qsizetype i = 0; i < found.logs.size(); ++i) {
        const auto followed = m_followed.constFind(followedKey(found.logs[i]));
        if (followed == m_followed.cend())
            return std::nullopt; // a pupil came
        const FileStamp &now = stamps[i];
        if (!followed->problem.isEmpty()) {
            if (now == followed->seen)
                continue; // as it was: its problem stays
            return std::nullopt;
        }
        if (!followed->mark) {
            logs.append(i); // a reading stopped before it
            continue;
        }
        if (followed->settled && now == followed->mark->stamp)
            continue;
        if (!now.sameFile(followed->mark->stamp) || now.size < followed->mark->end)
            return std::nullopt; // another file, or shrunk: a collect, a rewrite
        logs.append(i);
    }
    return logs;
}

ClassReading::Outcome ClassReading::readLogs(const ClassSources &found, const QList<qsizetype> &logs,
                                             const QList<FileStamp> &stamps, const Progress &progress)
{
    Outcome outcome = Outcome::Nothing;
    qint64 total = 0;
    for (const qsizetype index : logs) {
        const auto followed = m_followed.constFind(followedKey(found.logs[index]));
        total += std::max<qint64>(0, stamps[index].size - (followed->mark ? followed->mark->end : 0));
    }
    qint64 done = 0;
    for (const qsizetype index : logs) {
        if (m_stopped || (progress && !progress(done, total))) {
            m_stopped = true;
            return Outcome::Something;
        }
        const LogSource &log = found.logs[index];
        Followed &followed = m_followed[followedKey(log)];
        ReadSpan span;
        span.after = followed.mark;
        span.wholeLinesOnly = true;
        if (progress)
            span.progress = [&, before = done](qint64 bytes) { return progress(before + bytes, total); };
        bool begun = false;
        const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
            // An empty log is no pupil.
            if (!begun)
                m_results.beginPupil(printableName(log.file.pupil));
            begun = true;
            m_results.addAttempt(record);
        }, readRulesFor(log), span, m_results.known());
        if (reading.replaced || (!reading.ok && followed.mark))
            return Outcome::Replaced; // what was read of it may be there no more
        if (!reading.ok) {
            followed.problem = QStringLiteral("impossible de lire %1 : %2")
                                   .arg(printableName(displayPath(log.file.path)), reading.reason);
            followed.seen = stamps[index];
            outcome = Outcome::Something;
            continue;
        }
        if (reading.records > 0 || reading.ignoredLines > 0 || reading.stopped)
            outcome = Outcome::Something;
        if (begun)
            m_results.noteLog(reading.modified, reading.ownerUnverified);
        m_results.addIgnoredLines(reading.ignoredLines);
        done += reading.mark.end - (followed.mark ? followed.mark->end : 0);
        followed.mark = reading.mark;
        followed.settled = !reading.stopped && !reading.mark.stamp.changedLately();
        m_stopped = reading.stopped;
    }
    return outcome;
}

ClassReading::Change ClassReading::refresh(const Progress &progress)
{
    QElapsedTimer clock;
    clock.start();
    const ClassSources found = findClassSources(m_paths, m_naming);
    m_listingTime = clock.elapsed();
    QList<FileStamp> stamps;
    stamps.reserve(found.logs.size());
    for (const LogSource &log : found.logs)
        stamps.append(stampOf(log.file.path, log.named));

    const std::optional<QList<qsizetype>> readOn = logsToReadOn(found, stamps);
    const bool sameSources = sameListing(found, m_sources);
    m_sources = found;
    if (readOn && readOn->isEmpty())
        return sameSources ? Change::None : Change::Added;
    m_stopped = false;
    if (readOn) {
        const Outcome outcome = readLogs(found, *readOn, stamps, progress);
        if (outcome != Outcome::Replaced)
            return outcome == Outcome::Nothing && sameSources ? Change::None : Change::Added;
    }
    m_results = ClassResults(found.rows, true, loadKnownExercises(m_exercises));
    m_followed.clear();
    QList<qsizetype> everything;
    for (qsizetype i = 0; i < found.logs.size(); ++i) {
        m_followed.insert(followedKey(found.logs[i]), {});
        everything.append(i);
    }
    m_stopped = false;
    readLogs(found, everything, stamps, progress);
    m_read = true;
    return Change::Reread;
}
