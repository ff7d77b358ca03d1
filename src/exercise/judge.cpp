#include "exercise/judge.h"

namespace {

QChar foldedLetter(QChar c)
{
    switch (c.unicode()) {
    case u'é': case u'è': case u'ê': return u'e';
    case u'à': case u'â': return u'a';
    case u'î': case u'ï': return u'i';
    case u'ô': return u'o';
    case u'ù': case u'û': return u'u';
    default: return c;
    }
}

} // namespace

QString foldAccents(const QString &text, int *foldedCount)
{
    QString folded = text;
    int count = 0;
    for (QChar &c : folded) {
        const QChar plain = foldedLetter(c);
        if (plain != c) {
            c = plain;
            ++count;
        }
    }
    if (foldedCount)
        *foldedCount = count;
    return folded;
}

QString upperCased(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper)
        c = c.toUpper();
    return upper;
}

QString paragraphNumbers(int paragraphCount)
{
    QString numbers;
    for (int number = 1; number <= paragraphCount && number <= 9; ++number)
        numbers += QChar(u'0' + number);
    return numbers;
}

Judgement judgeAnswer(const QString &typed, const QString &expected, const QString &wrongAnswers)
{
    int expectedAccents = 0;
    int typedAccents = 0;
    const QString foldedKey = foldAccents(expected, &expectedAccents);
    const QString foldedAnswer = foldAccents(typed, &typedAccents);
    const bool foldedMatch = upperCased(foldedAnswer) == upperCased(foldedKey);

    Judgement judgement;
    judgement.accentReminder =
        typed != expected && foldedMatch && expectedAccents > 0 && typedAccents == 0;
    if (typed == expected || foldedMatch)
        judgement.verdict = Verdict::Right;
    else if (!typed.isEmpty() && wrongAnswers.contains(typed))
        judgement.verdict = Verdict::Wrong;
    else
        judgement.verdict = Verdict::Neither;
    return judgement;
}
