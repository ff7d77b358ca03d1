#pragma once

#include "classroom/classreport.h"
#include "record/knownexercises.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// A class's results, exercise by exercise: each record goes to the report
// of its exercise (its code and label, and whether its file was at hand),
// so that a pupil's attempts at two exercises are never mixed; each report
// has its own rows, scores out of its own ideas, and its own spread. What
// is no record at all (ignored lines) is the class's.
class ClassResults
{
public:
    explicit ClassResults(ReportRows rows = ReportRows::Pupils, bool keepHistory = false,
                          std::shared_ptr<const KnownExercises> known = KnownExercises::builtInOnly());

    // As ClassReport's, for every exercise the records are of.
    void beginPupil(const QString &name);
    void addAttempt(const ReadRecord &record);
    // What the last log read tells of the current pupil: its last record's
    // exercise was tried at `changed`; the others it holds before.
    void noteLog(const QDateTime &changed, bool ownerUnverified);
    void addIgnoredLines(qint64 lines) { m_ignoredLines += lines; }

    ReportRows rowKind() const { return m_rows; }
    const std::shared_ptr<const KnownExercises> &known() const { return m_known; }
    qint64 ignoredLines() const { return m_ignoredLines; }
    // Attempts at every exercise.
    int attempts() const { return m_attempts; }

    // The exercises with attempts, the one with the latest attempt first.
    QList<ExerciseKey> exercises() const;
    // The report of `key`; one of the built-in exercise without attempts
    // when no record is of it.
    const ClassReport &report(const ExerciseKey &key) const;
    // The report of the exercise with the latest attempt (exercises().first()).
    const ClassReport &latest() const;
    // Whether some record is of the exercise of code `code`, whatever its
    // label: such an exercise is saved under a new code when its content
    // changes, so that old records never meet new prompts or a new key.
    bool hasAttempts(const QString &code) const;

private:
    ReportRows m_rows;
    bool m_keepHistory;
    std::shared_ptr<const KnownExercises> m_known;
    QList<ClassReport> m_reports;
    QHash<ExerciseKey, qsizetype> m_byKey;
    ClassReport m_none;
    QString m_pupil;
    // Which pupil each report was last told of, by the number of beginPupil().
    QList<qint64> m_begun;
    qint64 m_pupils = 0;
    // The reports the current log's records went to, and its last record's.
    QList<qsizetype> m_touched;
    qsizetype m_lastTouched = -1;
    qint64 m_read = 0;
    int m_attempts = 0;
    qint64 m_ignoredLines = 0;
};
