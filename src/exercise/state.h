#pragma once

#include "exercise/value.h"

#include <array>

// Row arrays take rows 0 to 10, more than the four this exercise uses.
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
};
