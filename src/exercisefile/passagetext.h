#pragma once

#include <QString>
#include <QStringList>

// The passage as the exercise editor holds it: one box of text, the
// paragraphs apart by a blank line, as a teacher writes them in any editor.

// The paragraphs of the box's text: split at blank lines (lines of spaces
// alone count as blank), each paragraph's lines joined by one space, its
// ends trimmed; nothing for blank text.
QStringList passageParagraphs(const QString &text);

// The paragraphs as the box shows them: one a line, a blank line between.
QString passageBoxText(const QStringList &paragraphs);

// A whole passage pasted into the box, made ready for it: the paragraphs as
// passageParagraphs() finds them (or, when the text holds no blank line but
// 2 to 9 lines each ending a sentence, as a word processor copies its
// paragraphs, each line one),
// tabs made spaces, and the number a teacher typed at the start of a
// paragraph ("1. ", "2- ", "3) ") taken off when it is that paragraph's own:
// the page numbers paragraphs itself.
struct PastedPassage
{
    QString text;
    int numbersRemoved = 0;
};
PastedPassage pastedPassage(const QString &pasted);
