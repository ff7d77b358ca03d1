#include "exercisefile/passagetext.h"

#include "exercise/exercise.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Line ends of every system and of rich text, as line feeds.
QString plainLines(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QChar end : {QChar(u'\r'), QChar(0x2028), QChar(0x2029), QChar(0x0085)})
        text.replace(end, u'\n');
    return text;
}

QStringList splitAtBlankLines(const QString &text)
{
    QStringList paragraphs;
    QString current;
    const auto close = [&] {
        if (!current.isEmpty())
            paragraphs.append(current);
        current.clear();
    };
    for (const QString &line : plainLines(text).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            close();
            continue;
        }
        current += current.isEmpty() ? trimmed : u' ' + trimmed;
    }
    close();
    return paragraphs;
}

// The paragraph without the number `number` that starts it, if it does.
QString withoutItsNumber(const QString &paragraph, int number, bool &removed)
{
    static const QRegularExpression numbered(QStringLiteral("^(\\d{1,2})\\s*[.)\\-–:]\\s*"));
    const QRegularExpressionMatch match = numbered.match(paragraph);
    removed = match.hasMatch() && match.captured(1).toInt() == number && match.capturedLength() < paragraph.size();
    return removed ? paragraph.sliced(match.capturedLength()) : paragraph;
}

// A word processor copies its paragraphs one a line, each ending a
// sentence; a PDF's lines break anywhere in one.
bool linesAreParagraphs(const QStringList &lines)
{
    static const QRegularExpression sentenceEnd(QStringLiteral("[.!?…»\"”:)]$"));
    if (lines.size() < 2 || lines.size() > maxParagraphs)
        return false;
    return std::all_of(lines.cbegin(), lines.cend(),
                       [](const QString &line) { return sentenceEnd.match(line.trimmed()).hasMatch(); });
}

} // namespace

QStringList passageParagraphs(const QString &text)
{
    return splitAtBlankLines(text);
}

QString passageBoxText(const QStringList &paragraphs)
{
    return paragraphs.join(QStringLiteral("\n\n"));
}

PastedPassage pastedPassage(const QString &pasted)
{
    const QString text = plainLines(pasted).replace(u'\t', u' ');
    QStringList paragraphs = splitAtBlankLines(text);
    if (paragraphs.size() == 1) {
        QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString &line) { return line.trimmed().isEmpty(); });
        if (linesAreParagraphs(lines))
            paragraphs = splitAtBlankLines(lines.join(QStringLiteral("\n\n")));
    }
    PastedPassage result;
    for (int i = 0; i < paragraphs.size(); ++i) {
        bool removed = false;
        paragraphs[i] = withoutItsNumber(paragraphs[i], i + 1, removed);
        result.numbersRemoved += removed ? 1 : 0;
    }
    result.text = passageBoxText(paragraphs);
    return result;
}
