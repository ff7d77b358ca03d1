#pragma once

#include "exercise/exercise.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>

#include <functional>
#include <memory>

// The exercises whose records a reading recognises: the built-in one first,
// then those the teacher's files hold. One exercise a code: a second file
// with a code already known is left out, with why, so that records of one
// code are never read as two exercises'. Shared by every log a reading
// reads, and by its threads: it never changes once made, but for the lines
// it remembers, behind a lock.
class KnownExercises
{
public:
    // `exercises` after the built-in one; `problems` says what was left out
    // before (files that could not be read).
    explicit KnownExercises(const QList<Exercise> &exercises = {}, QStringList problems = {});
    KnownExercises(const KnownExercises &) = delete;
    KnownExercises &operator=(const KnownExercises &) = delete;

    // The built-in exercise alone, shared.
    static std::shared_ptr<const KnownExercises> builtInOnly();

    qsizetype size() const { return m_exercises.size(); }
    const Exercise &at(qsizetype index) const { return m_exercises.at(index); }
    const QList<Exercise> &exercises() const { return m_exercises; }
    // Files left out, each with why, in French.
    const QStringList &problems() const { return m_problems; }

    // The exercise a line names by its code and label, or -1.
    int exerciseNamedBy(QByteArrayView line) const;
    // Where the exercise's first prompt may start: after its code and label.
    qsizetype leadSize(int exercise) const { return m_encoded.at(exercise).lead.size(); }
    // Its rows' prompts as the record writes them, in Windows-1252.
    const QList<QByteArray> &encodedPrompts(int exercise) const { return m_encoded.at(exercise).prompts; }

    // The line `layOut` makes for the answers `key` of `exercise`,
    // remembered: a class gives few different sets of answers, a class
    // folder thousands of logs, and laying a line out costs more than
    // comparing it. Bounded in bytes, so that a log of junk answers does not
    // grow it without end; answers longer than a box lets in are laid out
    // each time, never kept.
    QByteArray laidOut(int exercise, const QByteArray &key, const std::function<QByteArray()> &layOut) const;

private:
    void add(const Exercise &exercise);

    struct Encoded
    {
        QByteArray lead; // code, spaces, label, "  justes:"
        QList<QByteArray> prompts;
    };
    QList<Exercise> m_exercises;
    QList<Encoded> m_encoded;
    QMultiHash<QByteArray, int> m_byCode;
    QStringList m_problems;

    mutable QMutex m_mutex;
    mutable QHash<QByteArray, QByteArray> m_lines;
    mutable qsizetype m_bytesKept = 0;
};
