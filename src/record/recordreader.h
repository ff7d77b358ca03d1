#pragma once

#include "exercise/content.h"
#include "record/record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Reading back the records of this exercise, as the program writes them
// (results/record.h): a line is a record only when laying its answers out
// again gives exactly its bytes, so the layout has one source of truth and
// anything else in a log (another exercise's line, junk, a torn record, a
// hand-edited count) is told apart.

struct ReadRecord
{
    // As typed, cut as shownAnswer() cuts them; empty when none.
    std::array<QString, Content::questionCount> answers;
    std::array<bool, Content::questionCount> right{};
    // The answer holds what no answer box lets in (a character other than a
    // paragraph number, more than the record's zone of 13 characters): the
    // line was written by something else than the exercise.
    std::array<bool, Content::questionCount> untyped{};

    int score() const;
    bool anyUntyped() const;
};

// Whether the exercise's answer box could have let this answer in.
bool couldHaveBeenTyped(const QString &answer);

// An answer as the teacher's tools show it: cut to the record's zone.
QString shownAnswer(const QString &answer);

inline constexpr const char *untypedNote = "réponse qui n'a pas été tapée dans l'exercice";

// The fields the window keeps for these committed answers ("" for a row
// committed empty): each judged, the counts empty until the first one.
RecordFields recordFieldsFor(const QStringList &answers);

class RecordReader
{
public:
    // The record on `line`, its bytes without the line end (CR LF or LF
    // alone), or nothing when it is not a whole record of this exercise.
    std::optional<ReadRecord> read(QByteArrayView line);

private:
    // The line these answers (`key`) are laid out as, remembered for every
    // reader: a class gives few different sets of answers, a class folder
    // thousands of logs, and laying a line out costs more than comparing it.
    static QByteArray laidOut(const QByteArray &key, const ReadRecord &record);
};
