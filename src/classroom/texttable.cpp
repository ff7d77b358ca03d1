#include "classroom/texttable.h"

#include "classroom/wording.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace {

constexpr std::size_t questionCount = Content::questionCount;

// An answer with its mark: "3 ✓", "1 ✗", "– ✗" for none.
// An answer no answer box lets in is cut to the record's zone and marked
// "*", explained under the table.
QString markedAnswer(const ReadRecord &record, std::size_t row)
{
    const QString answer = record.answers[row].isEmpty() ? QStringLiteral("–") : shownAnswer(record.answers[row]);
    return answer + (record.right[row] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"))
           + (record.untyped[row] ? QStringLiteral("*") : QString());
}

// Rows of cells laid out in columns, each as wide as its widest cell; a
// character counts as one column, accented or not.
QString columns(const QList<QStringList> &rows, const QList<bool> &alignRight)
{
    QList<qsizetype> widths;
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

// "2 (3 élèves)", or "2 ou 4 (3 élèves chacune)" when tied; "–" for none.
QString commonestWrong(const QuestionSummary &question)
{
    if (question.commonestWrong.isEmpty())
        return QStringLiteral("–");
    const QString pupils = plural(question.commonestCount, QStringLiteral("élève"), QStringLiteral("élèves"));
    if (question.commonestWrong.size() == 1)
        return QStringLiteral("%1 (%2)").arg(question.commonestWrong.first(), pupils);
    return QStringLiteral("%1 (%2 chacune)").arg(question.commonestWrong.join(QStringLiteral(" ou ")), pupils);
}

} // namespace

QString formatClassReport(const ClassReport &report)
{
    const QString ignored = report.ignoredLines() == 0
                                ? QStringLiteral("Aucune ligne ignorée.\n")
                                : plural(report.ignoredLines(), QStringLiteral("ligne ignorée"),
                                         QStringLiteral("lignes ignorées"))
                                      + QStringLiteral(".\n");
    if (report.attempts() == 0)
        return QStringLiteral("Aucun résultat de cet exercice.\n") + ignored;

    QString text = QStringLiteral("Bilan : %1, %2\n\n")
                       .arg(plural(report.pupils().size(), QStringLiteral("élève"), QStringLiteral("élèves")),
                            plural(report.attempts(), QStringLiteral("essai"), QStringLiteral("essais")));
    text += QStringLiteral("Réponses et score du dernier essai, meilleur score de tous les essais :\n");
    QList<QStringList> pupils{{QStringLiteral("élève"), QStringLiteral("essais"), QStringLiteral("idée 1"),
                               QStringLiteral("idée 2"), QStringLiteral("idée 3"), QStringLiteral("idée 4"),
                               QStringLiteral("score"), QStringLiteral("meilleur")}};
    QList<PupilSummary> byName = report.pupils();
    const QCollator order = frenchOrder();
    std::stable_sort(byName.begin(), byName.end(),
                     [&order](const PupilSummary &a, const PupilSummary &b) { return order(a.name, b.name); });
    for (const PupilSummary &pupil : std::as_const(byName)) {
        QStringList row{pupil.name, QString::number(pupil.attempts)};
        for (std::size_t question = 0; question < questionCount; ++question)
            row.append(pupil.attempts > 0 ? markedAnswer(pupil.last, question) : QString());
        row.append(pupil.attempts > 0 ? QStringLiteral("%1/4").arg(pupil.last.score()) : QStringLiteral("–"));
        row.append(pupil.attempts > 0 ? QStringLiteral("%1/4").arg(pupil.best) : QStringLiteral("–"));
        pupils.append(row);
    }
    text += columns(pupils, {false, true, false, false, false, false, true, true});
    const bool untyped = std::any_of(byName.cbegin(), byName.cend(), [](const PupilSummary &pupil) {
        return pupil.attempts > 0 && pupil.last.anyUntyped();
    });
    if (untyped)
        text += QStringLiteral("* %1\n").arg(QString::fromUtf8(untypedNote));

    QList<QStringList> questions{{QStringLiteral("idée"), QStringLiteral("question"), QStringLiteral("paragraphe"),
                                  QStringLiteral("justes"), QStringLiteral("sans réponse"),
                                  QStringLiteral("erreur la plus fréquente")}};
    int number = 0;
    for (const QuestionSummary &question : report.questions())
        questions.append({QString::number(++number), question.prompt, question.expected,
                          QStringLiteral("%1/%2").arg(question.right).arg(question.pupils),
                          QString::number(question.blank), commonestWrong(question)});
    text += u'\n' + columns(questions, {true, false, true, true, true, false});

    const QLocale french(QLocale::French, QLocale::France);
    text += QStringLiteral("\nScore moyen au dernier essai : %1/4\n").arg(french.toString(report.meanScore(), 'f', 1));
    return text + ignored;
}
