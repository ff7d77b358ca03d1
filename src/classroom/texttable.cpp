#include "classroom/texttable.h"

#include "classroom/missedmost.h"
#include "classroom/reportcells.h"
#include "classroom/wording.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace {

constexpr std::size_t questionCount = Content::questionCount;
// A login longer than this is cut, so that a row fits in 80 columns.
constexpr qsizetype longestName = 22;
constexpr qsizetype attemptWidth = 8; // "essai" and its number, right-aligned

QString shortName(const QString &name)
{
    return name.size() <= longestName ? name : name.left(longestName - 1) + u'…';
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

const QList<bool> rowAlignment{false, true, false, false, false, false, true, true};
// The answers' columns hold "12341234123412…✗*" at most; most hold "3 ✓".
const QList<qsizetype> attemptColumns{attemptWidth, 6, 6, 6, 6, 5};

// The window's headers but "dernier essai", which a terminal has no room for.
QStringList rowHeader(ReportRows rows)
{
    return rowHeaders(rows).first(8);
}

QStringList rowCells(const PupilSummary &row)
{
    QStringList cells{shortName(row.name) + (row.ownerUnverified ? QStringLiteral("°") : QString()),
                      QString::number(row.attempts)};
    for (std::size_t question = 0; question < questionCount; ++question)
        cells.append(row.attempts > 0 ? answerCell(row.last, question) : QString());
    cells.append(row.attempts > 0 ? scoreCell(row.last.score()) : QStringLiteral("–"));
    cells.append(row.attempts > 0 ? scoreCell(row.best) : QStringLiteral("–"));
    return cells;
}

QString ignoredLines(const ClassReport &report)
{
    return report.ignoredLines() == 0 ? QStringLiteral("Aucune ligne ignorée.\n")
                                      : plural(report.ignoredLines(), QStringLiteral("ligne ignorée"),
                                               QStringLiteral("lignes ignorées"))
                                            + QStringLiteral(".\n");
}

QString ideasTables(const QList<QuestionSummary> &questions)
{
    QList<QStringList> ideas{ideaHeaders().first(4)};
    QStringList spreadHeader = ideaHeaders();
    spreadHeader.remove(1, 3); // the prompt, paragraph and rights are in the first table
    QList<QStringList> spread{spreadHeader};
    int number = 0;
    for (const QuestionSummary &question : questions) {
        ++number;
        ideas.append({QString::number(number), question.prompt, question.expected,
                      QStringLiteral("%1/%2").arg(question.right).arg(question.pupils)});
        QStringList counts{QString::number(number)};
        for (int choice = 0; choice < answerChoiceCount; ++choice)
            counts.append(spreadCell(question, AnswerChoice(choice)));
        spread.append(counts);
    }
    return columns(ideas, {true, false, true, true})
           + QStringLiteral("\nRéponses au dernier essai, par paragraphe choisi (✓ : le paragraphe juste) :\n")
           + columns(spread, {true, true, true, true, true, true, true});
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

// An attempt's row has no count of attempts nor best score: one attempt a row.
QStringList attemptCells(QStringList cells)
{
    cells.removeAt(7);
    cells.removeAt(1);
    return cells;
}

const QList<bool> attemptAlignment{true, false, false, false, false, true};

QString attemptsHeader()
{
    return columns({attemptCells(rowHeader(ReportRows::Attempts))}, attemptAlignment, attemptColumns);
}

QString attemptLine(qsizetype number, const ReadRecord &record)
{
    return columns({attemptCells(rowCells({QString::number(number), 1, record, record.score(), {}, false, {}}))},
                   attemptAlignment, attemptColumns);
}

QString formatIdeas(const ClassReport &report)
{
    if (report.attempts() == 0)
        return QStringLiteral("Aucun résultat de cet exercice.\n") + ignoredLines(report);
    QString text;
    if (anyUntypedShown(report))
        text += QStringLiteral("* %1\n").arg(QString::fromUtf8(untypedNote));
    if (report.anyOwnerUnverified())
        text += wrapped(QStringLiteral("° %1 : sur ce partage, le propriétaire des fichiers n'est pas visible ; "
                                       "un autre élève a pu écrire ce fichier.")
                            .arg(QString::fromUtf8(ownerUnverifiedNote)));
    text += u'\n' + ideasTables(report.questions());
    if (const QString sentence = missedMostSentence(report); !sentence.isEmpty())
        text += u'\n' + wrapped(sentence);
    const QLocale french(QLocale::French, QLocale::France);
    text += QStringLiteral("\nScore moyen au dernier essai : %1/4\n").arg(french.toString(report.meanScore(), 'f', 1));
    return text + ignoredLines(report);
}

QString formatClassReport(const ClassReport &report)
{
    if (report.attempts() == 0)
        return formatIdeas(report);
    const bool attempts = report.rowKind() == ReportRows::Attempts;
    QString text = attempts ? QStringLiteral("Bilan : %1 d'un seul fichier, qui peut mêler plusieurs élèves\n\n")
                                  .arg(rowNoun(report, report.attempts()))
                            : QStringLiteral("Bilan : %1, %2\n\n")
                                  .arg(rowNoun(report, report.rowCount()),
                                       plural(report.attempts(), QStringLiteral("essai"), QStringLiteral("essais")));
    text += attempts ? QStringLiteral("Chaque essai dans l'ordre du fichier :\n")
                     : QStringLiteral("Réponses et score du dernier essai, meilleur score de tous les essais :\n");
    if (attempts) {
        text += attemptsHeader();
        for (qsizetype i = 0; i < report.rowCount(); ++i)
            text += attemptLine(i + 1, report.row(i).last);
        return text + formatIdeas(report);
    }
    QList<PupilSummary> rows = report.pupils();
    const QCollator order = frenchOrder();
    std::stable_sort(rows.begin(), rows.end(),
                     [&order](const PupilSummary &a, const PupilSummary &b) { return order(a.name, b.name); });
    QList<QStringList> table{rowHeader(ReportRows::Pupils)};
    for (const PupilSummary &row : std::as_const(rows))
        table.append(rowCells(row));
    text += columns(table, rowAlignment);
    return text + formatIdeas(report);
}
