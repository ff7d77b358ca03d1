#include "classroom/classresults.h"

#include <algorithm>

ClassResults::ClassResults(ReportRows rows, bool keepHistory, std::shared_ptr<const KnownExercises> known)
    : m_rows(rows)
    , m_keepHistory(keepHistory)
    , m_known(std::move(known))
    , m_none(rows, keepHistory)
{
}

void ClassResults::beginPupil(const QString &name)
{
    m_pupil = name;
    ++m_pupils;
}

void ClassResults::addAttempt(const ReadRecord &record)
{
    const ExerciseKey key = keyOf(record);
    auto found = m_byKey.constFind(key);
    if (found == m_byKey.cend()) {
        Exercise exercise;
        if (record.known()) {
            exercise = m_known->at(record.exercise);
        } else {
            exercise.code = record.code;
            exercise.label = record.label;
        }
        m_reports.append(ClassReport(m_rows, m_keepHistory, exercise, record.known()));
        m_begun.append(0);
        found = m_byKey.insert(key, m_reports.size() - 1);
    }
    const qsizetype index = *found;
    ClassReport &report = m_reports[index];
    if (m_begun.at(index) != m_pupils) {
        report.beginPupil(m_pupil);
        m_begun[index] = m_pupils;
    }
    report.addAttempt(record);
    report.setLastRead(++m_read);
    ++m_attempts;
    if (!m_touched.contains(index))
        m_touched.append(index);
    m_lastTouched = index;
}

void ClassResults::noteLog(const QDateTime &changed, bool ownerUnverified)
{
    for (const qsizetype index : std::as_const(m_touched))
        m_reports[index].noteLog(changed, ownerUnverified, index == m_lastTouched);
    m_touched.clear();
    m_lastTouched = -1;
}

QList<ExerciseKey> ClassResults::exercises() const
{
    QList<const ClassReport *> reports;
    for (const ClassReport &report : m_reports)
        reports.append(&report);
    std::stable_sort(reports.begin(), reports.end(), [](const ClassReport *a, const ClassReport *b) {
        if (a->latestAttempt() != b->latestAttempt())
            return a->latestAttempt() > b->latestAttempt();
        return a->lastRead() > b->lastRead();
    });
    QList<ExerciseKey> keys;
    for (const ClassReport *report : std::as_const(reports))
        keys.append(report->key());
    return keys;
}

const ClassReport &ClassResults::report(const ExerciseKey &key) const
{
    const auto found = m_byKey.constFind(key);
    return found == m_byKey.cend() ? m_none : m_reports.at(*found);
}

const ClassReport &ClassResults::latest() const
{
    const QList<ExerciseKey> keys = exercises();
    return keys.isEmpty() ? m_none : report(keys.first());
}

bool ClassResults::hasAttempts(const QString &code) const
{
    return std::any_of(m_reports.cbegin(), m_reports.cend(),
                       [&code](const ClassReport &report) { return report.exercise().code == code; });
}
