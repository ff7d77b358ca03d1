#pragma once

#include "exercise/exercise.h"
#include "record/knownexercises.h"
#include "record/record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <bitset>
#include <memory>
#include <optional>

// Reading back the records the program writes (record/record.h). A line is
// a record of a known exercise only when laying its answers out again with
// that exercise's code, label and prompts gives exactly its bytes, so the
// layout has one source of truth and anything else in a log (junk, a torn
// record, a hand-edited count, the same title over other prompts) is told
// apart. A line laid out as a record of an exercise not known (its file is
// not at hand) is read for its code, label and counts alone: its answers
// cannot be told from its prompts, nor judged.

struct ReadRecord
{
    int exercise = -1; // in the reader's KnownExercises; -1 for an exercise not known
    QString code;      // how the record names its exercise
    QString label;
    // Each idea's answer as typed, cut as shownAnswer() cuts them; empty
    // when none. Nothing for an exercise not known.
    QStringList answers;
    std::bitset<maxIdeas> right;
    // The answer holds what no answer box lets in (a character other than a
    // paragraph number, more than the record's zone of 13 characters): the
    // line was written by something else than the exercise.
    std::bitset<maxIdeas> untyped;
    int rightCount = 0; // the record's "justes"

    bool known() const { return exercise >= 0; }
    int score() const { return rightCount; }
    bool anyUntyped() const { return untyped.any(); }
};

// Whether the answer box of an exercise of `paragraphCount` paragraphs
// could have let this answer in.
bool couldHaveBeenTyped(const QString &answer, int paragraphCount = 4);

// An answer as the teacher's tools show it: cut to the record's zone.
QString shownAnswer(const QString &answer);

inline constexpr const char *untypedNote = "réponse qui n'a pas été tapée dans l'exercice";

// The fields the window keeps for these committed answers of `exercise`
// ("" for a row committed empty): each judged, the counts empty until the
// first one.
RecordFields recordFieldsFor(const Exercise &exercise, const QStringList &answers);
// The same for the built-in exercise.
RecordFields recordFieldsFor(const QStringList &answers);

class RecordReader
{
public:
    explicit RecordReader(std::shared_ptr<const KnownExercises> known = KnownExercises::builtInOnly());

    // The record on `line`, its bytes without the line end (CR LF or LF
    // alone), or nothing when it is not a whole record.
    std::optional<ReadRecord> read(QByteArrayView line) const;

private:
    std::optional<ReadRecord> readKnown(int exercise, QByteArrayView line) const;

    std::shared_ptr<const KnownExercises> m_known;
};
