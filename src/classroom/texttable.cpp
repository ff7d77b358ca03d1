#include "classroom/texttable.h"

#include "classroom/missedmost.h"
#include "classroom/reportcells.h"
#include "classroom/wording.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace {

// A login longer than this is cut, so that a row fits in 80 columns; a
// prompt likewise.
constexpr qsizetype longestName = 22;
constexpr qsizetype longestPrompt = 40;
constexpr qsizetype attemptWidth = 8; // "essai" and its number, right-aligned
// More ideas than this do not fit a row of 80 columns as the built-in
// exercise's do: the answers get a table of their own.
constexpr int ideasInOneRow = 4;

QString cut(const QString &text, qsizetype longest)
{
    return text.size() <= longest ? text : text.left(longest - 1) + u'…';
}

// The row's name, cut, and "°" after it when its owner was not seen.
QString shortNameCell(const PupilSummary &row)
{
    return cut(row.name, longestName) + (row.ownerUnverified ? QStringLiteral("°") : QString());
}

// Rows of cells laid out in columns, each as wide as its widest cell; a
// character counts as one column, accented or not.
QString columns(const QList<QStringList> &rows, const QList<bool> &alignRight, const QList<qsizetype> &least = {})
{
    QList<qsizetype> widths = least;
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += QStringLiteral("  ");
            const bool right = alignRight.value(i, false);
            line += right ? row[i].rightJustified(widths[i]) : row[i].leftJustified(widths[i]);
        }
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    return text;
}

// Which of a row's cells a table of `report` shows: with the answers when
// they fit, or without.
struct RowShape
{
    int answers = 0; // ideas shown in the row
    bool attempts = false;
};

// A file's attempts keep their answers in their row, however many: they
// are printed a line at a time.
RowShape shapeOf(const ClassReport &report)
{
    const bool attempts = report.rowKind() == ReportRows::Attempts;
    return {attempts || report.ideaCount() <= ideasInOneRow ? report.outOf() : 0, attempts};
}

// The window's headers but "dernier essai", which a terminal has no room
// for; an attempt's row has no count of attempts nor best score.
QStringList header(const ClassReport &report, RowShape shape)
{
    QStringList cells = rowHeaders(report.rowKind(), shape.answers);
    cells.removeLast();
    if (shape.attempts) {
        cells.removeAt(cells.size() - 1);
        cells.removeAt(1);
    }
    return cells;
}

QStringList rowCells(const PupilSummary &row, const ClassReport &report, RowShape shape)
{
    QStringList cells{shortNameCell(row), QString::number(row.attempts)};
    for (int question = 0; question < shape.answers; ++question)
        cells.append(row.attempts > 0 ? answerCell(row.last, std::size_t(question)) : QString());
    cells.append(row.attempts > 0 ? scoreCell(row.last.score(), report.outOf()) : QStringLiteral("–"));
    cells.append(row.attempts > 0 ? scoreCell(row.best, report.outOf()) : QStringLiteral("–"));
    if (shape.attempts) {
        cells.removeAt(cells.size() - 1);
        cells.removeAt(1);
    }
    return cells;
}

QList<bool> alignment(RowShape shape)
{
    QList<bool> right{shape.attempts};
    if (!shape.attempts)
        right.append(true);
    right.append(QList<bool>(shape.answers, false));
    return right << true << true;
}

// The answers of each row's last attempt, idea by idea, when the rows have
// no room for them.
QString answersTable(const ClassReport &report, const QList<PupilSummary> &rows)
{
    if (shapeOf(report).answers == report.outOf())
        return {};
    QList<QStringList> table{{rowHeaders(report.rowKind(), 0).first()}};
    for (int idea = 1; idea <= report.ideaCount(); ++idea)
        table.first().append(QString::number(idea));
    for (const PupilSummary &row : rows) {
        if (row.attempts == 0)
            continue;
        QStringList cells{shortNameCell(row)};
        for (int question = 0; question < report.ideaCount(); ++question)
            cells.append(answerCell(row.last, std::size_t(question)));
        table.append(cells);
    }
    return QStringLiteral("\nRéponses du dernier essai, idée par idée :\n") + columns(table, {});
}

QString ideasTables(const ClassReport &report)
{
    const QList<QuestionSummary> questions = report.questions();
    QList<QStringList> ideas{ideaHeaders(report.paragraphCount()).first(4)};
    QStringList spreadHeader = printedIdeaHeaders(report.paragraphCount());
    spreadHeader.remove(1, 3); // the prompt, paragraph and rights are in the first table
    QList<QStringList> spread{spreadHeader};
    int number = 0;
    for (const QuestionSummary &question : questions) {
        ++number;
        ideas.append({QString::number(number), cut(question.prompt, longestPrompt), question.expected,
                      QStringLiteral("%1/%2").arg(question.right).arg(question.pupils)});
        QStringList counts{QString::number(number)};
        for (const AnswerChoice choice : answerChoices(report.paragraphCount()))
            counts.append(spreadCell(question, choice));
        spread.append(counts);
    }
    return columns(ideas, {true, false, true, true})
           + u'\n'
           + wrapped(QStringLiteral("Réponses au dernier essai, par paragraphe choisi (✓ : le paragraphe juste%1) :")
                         .arg(shortIdeaHeaders(report.paragraphCount()) ? QStringLiteral(" ; ") + shortHeadersNote()
                                                                        : QString()))
           + columns(spread, QList<bool>(spreadHeader.size(), true));
}

// The ideas, the sentence and the mean score.
QString ideasPart(const ClassReport &report)
{
    QString text;
    if (anyUntypedShown(report))
        text += QStringLiteral("* %1\n").arg(QString::fromUtf8(untypedNote));
    if (report.anyOwnerUnverified())
        text += wrapped(QStringLiteral("° %1 : sur ce partage, le propriétaire des fichiers n'est pas visible ; "
                                       "un autre élève a pu écrire ce fichier.")
                            .arg(QString::fromUtf8(ownerUnverifiedNote)));
    const QLocale french(QLocale::French, QLocale::France);
    const QString mean = french.toString(report.meanScore(), 'f', 1);
    if (!report.known())
        return text + QStringLiteral("\nScore moyen au dernier essai : %1 justes\n").arg(mean);
    text += u'\n' + ideasTables(report);
    if (const QString sentence = missedMostSentence(report); !sentence.isEmpty())
        text += u'\n' + wrapped(sentence);
    return text + QStringLiteral("\nScore moyen au dernier essai : %1/%2\n").arg(mean).arg(report.outOf());
}

} // namespace

QString wrapped(const QString &text, qsizetype width)
{
    QString result;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            result += line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return line.isEmpty() ? result : result + line + u'\n';
}

QString ignoredLinesText(qint64 lines)
{
    return lines == 0 ? QStringLiteral("Aucune ligne ignorée.\n")
                      : plural(lines, QStringLiteral("ligne ignorée"), QStringLiteral("lignes ignorées"))
                            + QStringLiteral(".\n");
}

void printClassReport(const ClassReport &report, const TextOut &out)
{
    const bool attempts = report.rowKind() == ReportRows::Attempts;
    QString text = wrapped(QStringLiteral("Exercice %1").arg(exerciseTitle(report)));
    if (!report.known())
        text += wrapped(unknownExerciseNote());
    text += attempts ? QStringLiteral("Bilan : %1 d'un seul fichier\n\n").arg(rowNoun(report, report.attempts()))
                     : QStringLiteral("Bilan : %1, %2\n\n")
                           .arg(rowNoun(report, report.rowCount()),
                                plural(report.attempts(), QStringLiteral("essai"), QStringLiteral("essais")));
    text += attempts ? QStringLiteral("Chaque essai dans l'ordre du fichier, qui peut mêler plusieurs élèves :\n")
                     : QStringLiteral("Réponses et score du dernier essai, meilleur score de tous les essais :\n");
    const RowShape shape = shapeOf(report);
    if (attempts) {
        // A big shared log's attempts, a line each as they come: the rows
        // never make one text, and each is as wide as its own cells.
        QList<qsizetype> least{attemptWidth};
        least << QList<qsizetype>(shape.answers, 6) << 5; // most answers' cells hold "3 ✓"
        out(text + columns({header(report, shape)}, alignment(shape), least));
        const bool unverified = report.anyOwnerUnverified();
        for (qsizetype i = 0; i < report.rowCount(); ++i) {
            const ReadRecord &last = report.lastOf(i);
            const PupilSummary row{QString::number(i + 1), 1, last, last.score(), {}, false, unverified, {}};
            out(columns({rowCells(row, report, shape)}, alignment(shape), least));
        }
        out(ideasPart(report));
        return;
    }
    QList<PupilSummary> rows;
    for (qsizetype i = 0; i < report.rowCount(); ++i)
        rows.append(report.row(i));
    const QCollator order = frenchOrder();
    std::stable_sort(rows.begin(), rows.end(),
                     [&order](const PupilSummary &a, const PupilSummary &b) { return order(a.name, b.name); });
    QList<QStringList> table{header(report, shape)};
    for (const PupilSummary &row : std::as_const(rows))
        table.append(rowCells(row, report, shape));
    out(text + columns(table, alignment(shape)) + answersTable(report, rows) + ideasPart(report));
}

void printClassResults(const ClassResults &results, const TextOut &out)
{
    const QList<ExerciseKey> exercises = results.exercises();
    if (exercises.isEmpty()) {
        out(QStringLiteral("Aucun résultat.\n") + ignoredLinesText(results.ignoredLines()));
        return;
    }
    for (qsizetype i = 0; i < exercises.size(); ++i) {
        if (i > 0)
            out(QStringLiteral("\n"));
        printClassReport(results.report(exercises.at(i)), out);
    }
    out(u'\n' + ignoredLinesText(results.ignoredLines()));
}

QString formatClassReport(const ClassReport &report)
{
    QString text;
    printClassReport(report, [&text](const QString &part) { text += part; });
    return text;
}

QString formatClassResults(const ClassResults &results)
{
    QString text;
    printClassResults(results, [&text](const QString &part) { text += part; });
    return text;
}
