#pragma once

#include <QString>

// Judging one committed answer against the expected one. Letter case does not
// count, and ten accented lowercase vowels read as their plain vowels; an
// answer that is not right but is a run of paragraph numbers ("1", "23",
// "1234"... for four paragraphs) is wrong; anything else (empty, "13",
// letters) is neither.

enum class Verdict { Right, Wrong, Neither };

struct Judgement
{
    Verdict verdict = Verdict::Neither;
    // "Pense aux accents!" is due: the answer is right only once accents are
    // folded, the expected text has foldable accents and the answer has none.
    bool accentReminder = false;
};

// The paragraph numbers in a row, "12...N" for N paragraphs: an answer that is
// a non-empty piece of it is wrong rather than meaningless. "1234" for the
// built-in exercise.
QString paragraphNumbers(int paragraphCount);

Judgement judgeAnswer(const QString &typed, const QString &expected,
                      const QString &wrongAnswers = paragraphNumbers(4));

// é è ê à â î ï ô ù û become their plain vowels; nothing else changes, and
// the text keeps its length. foldedCount, when given, receives how many
// letters were replaced.
QString foldAccents(const QString &text, int *foldedCount = nullptr);

// Upper-cases character by character, so that the length never changes: a
// letter without a one-character capital (ß) stays as it is.
QString upperCased(const QString &text);
