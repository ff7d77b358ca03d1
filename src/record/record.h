#pragma once

#include "exercise/exercise.h"
#include "exercise/value.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The one line a finished exercise appends to the results log. Teachers'
// tools read it by column, so its layout is fixed: items printed one after
// the other, a "comma" moving on to the next 14-column print zone, numbers
// written with a sign space in front and a space behind, empty items
// writing nothing, the line ended by CR LF.

struct RecordRow
{
    QString prompt; // the prompt as the window shows it, spaces included
    Value answer;   // the committed answer; empty for a row never committed
};

struct RecordFields
{
    Value rightCount;
    Value wrongCount;
    QList<RecordRow> rows;
    // How the record names its exercise; the built-in one unless said.
    QString code = builtInExercise().code;
    QString label = builtInExercise().label;
};

struct ExerciseState;

// The prompts of the built-in exercise's rows, as the window shows them and
// the record writes them, runs of spaces included.
QStringList exercisePrompts();

// A finished exercise's fields: the counts, then each row's prompt with its
// committed answer (empty for none). The prompts are the exercise's own,
// unless the window's captions were changed (the check-box mode writes its
// totals into the first two).
RecordFields recordFields(const Value &rightCount, const Value &wrongCount, const QList<Value> &answers,
                          const QStringList &prompts = exercisePrompts());

// A finished exercise's fields as its state holds them: its code and label,
// its counts, and rows 0 to lastQuestionIndex, each with the caption its
// record writes and its committed answer.
RecordFields recordFields(const ExerciseState &state);

// The record as text, without its line end. Every character of it has
// exactly one byte in Windows-1252: control characters (a line feed pasted
// into an answer, say) are written as spaces, so the record stays one line,
// and characters the code page cannot hold as "?".
QString recordText(const RecordFields &fields);

// The start of every record of an exercise: its code, then its label in
// the next print zone.
QString recordLeadText(const QString &code, const QString &label);

// The record as the log receives it: Windows-1252 bytes ending in CR LF.
QByteArray recordLine(const RecordFields &fields);
