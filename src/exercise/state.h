#pragma once

#include "exercise/value.h"

#include <QString>

#include <array>

// Row arrays take rows 0 to 10: the built-in exercise uses four, a teacher's
// up to eleven.
constexpr int rowArraySize = 11;
using RowArray = std::array<Value, rowArraySize>;

// The state of the typed-answer exercise, kept by the window from start-up
// to the end of the program. Items the window has not set yet are empty.
struct ExerciseState
{
    RowArray typedAnswer;  // committed answers, spaces trimmed at both ends
    RowArray answerKey;    // expected answers
    RowArray answerLocked; // 1 once a row is committed
    RowArray rightTally;   // right judgements per row

    Value answeredCount;
    Value questionCount;
    Value lastQuestionIndex;
    Value rightCount;
    Value wrongCount;
    Value exerciseFinished; // 1 once the exercise has ended: the window may close
    Value handoffScore;     // the score handed to the clipboard

    // What the record is made of, kept here rather than read back from the
    // window: the exercise's code and label, and the caption each row's
    // record writes (the exercise's prompt, or what the check-box mode's
    // verification wrote over rows 0 and 1).
    QString exerciseCode;
    QString exerciseLabel;
    std::array<QString, rowArraySize> recordCaption;
    // The answer boxes take the digits 1 to this; its run of digits is the
    // judge's wrong-answer text.
    int paragraphCount = 0;
};
