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

// The runs of paragraph numbers that count as a wrong rather than a
// meaningless answer.
const QString paragraphNumbers = QStringLiteral("1234");

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

Judgement judgeAnswer(const QString &typed, const QString &expected)
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
    else if (!typed.isEmpty() && paragraphNumbers.contains(typed))
        judgement.verdict = Verdict::Wrong;
    else
        judgement.verdict = Verdict::Neither;
    return judgement;
}
