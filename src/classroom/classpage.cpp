#include "classroom/classpage.h"

#include "classroom/wording.h"

#include <QLocale>

namespace {

QString cell(const QString &text, const QString &style = {})
{
    return QStringLiteral("<td%1>%2</td>").arg(style.isEmpty() ? QString() : QStringLiteral(" style=\"%1\"").arg(style),
                                             text.toHtmlEscaped());
}

QString answer(const ReadRecord &record, std::size_t question)
{
    if (record.answers[question].isEmpty())
        return QStringLiteral("–");
    return shownAnswer(record.answers[question]) + (record.right[question] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"));
}

QString rowsTable(const ClassReport &report)
{
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" border=\"1\">"
                                  "<thead><tr>");
    for (const char *header : {"élève", "essais", "idée 1", "idée 2", "idée 3", "idée 4", "score", "meilleur",
                               "dernier essai"})
        html += QStringLiteral("<th>%1</th>").arg(QString::fromUtf8(header));
    html += QStringLiteral("</tr></thead>");
    QList<PupilSummary> rows;
    for (qsizetype i = 0; i < report.rowCount(); ++i)
        rows.append(report.row(i));
    if (report.rowKind() == ReportRows::Pupils) {
        const QCollator order = frenchOrder();
        std::stable_sort(rows.begin(), rows.end(),
                         [&order](const PupilSummary &a, const PupilSummary &b) { return order(a.name, b.name); });
    }
    const QLocale french(QLocale::French, QLocale::France);
    for (const PupilSummary &row : std::as_const(rows)) {
        const bool any = row.attempts > 0;
        html += QStringLiteral("<tr>") + cell(row.name + (row.ownerUnverified ? QStringLiteral(" °") : QString()))
                + cell(QString::number(row.attempts), QStringLiteral("text-align: center"));
        for (std::size_t question = 0; question < std::size_t(Content::questionCount); ++question)
            html += cell(any ? answer(row.last, question) : QString(), QStringLiteral("text-align: center"));
        html += cell(any ? QStringLiteral("%1/4").arg(row.last.score()) : QStringLiteral("–"), QStringLiteral("text-align: center"))
                + cell(any ? QStringLiteral("%1/4").arg(row.best) : QStringLiteral("–"), QStringLiteral("text-align: center"))
                + cell(row.lastChanged.isValid()
                           ? french.toString(row.lastChanged.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm"))
                           : QStringLiteral("–"))
                + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString ideasTable(const ClassReport &report)
{
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" border=\"1\"><thead><tr>");
    for (const char *header : {"idée", "question", "paragraphe", "justes", "par. 1", "par. 2", "par. 3", "par. 4",
                               "sans réponse", "autre"})
        html += QStringLiteral("<th>%1</th>").arg(QString::fromUtf8(header));
    html += QStringLiteral("</tr></thead>");
    int number = 0;
    for (const QuestionSummary &question : report.questions()) {
        html += QStringLiteral("<tr>") + cell(QString::number(++number)) + cell(question.prompt)
                + cell(question.expected, QStringLiteral("text-align: center"))
                + cell(QStringLiteral("%1/%2").arg(question.right).arg(question.pupils), QStringLiteral("text-align: center"));
        for (std::size_t choice = 0; choice < std::size_t(answerChoiceCount); ++choice) {
            const bool expected = choice < 4 && QString::number(choice + 1) == question.expected;
            html += cell(QString::number(question.spread[choice]) + (expected ? QStringLiteral(" ✓") : QString()),
                         QStringLiteral("text-align: center"));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

} // namespace

QString classPageHtml(const ClassReport &report, const QString &opened, const QDateTime &readAt)
{
    const QLocale french(QLocale::French, QLocale::France);
    QString html = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans', sans-serif; font-size: 9pt\">");
    html += QStringLiteral("<h2>Résultats de la classe</h2><p>%1<br>Lu le %2</p>")
                .arg(opened.toHtmlEscaped(), french.toString(readAt, QStringLiteral("dddd d MMMM yyyy 'à' HH:mm")));
    html += QStringLiteral("<p>✓ juste · ✗ faux · – sans réponse · réponses et score du dernier essai%1</p>")
                .arg(report.anyOwnerUnverified()
                         ? QStringLiteral(" · ° %1").arg(QString::fromUtf8(ownerUnverifiedNote))
                         : QString());
    if (report.rowKind() == ReportRows::Attempts)
        html += QStringLiteral("<p>Un seul fichier, qui peut mêler plusieurs élèves : chaque ligne est un essai.</p>");
    html += rowsTable(report);
    html += QStringLiteral("<h3>Les idées</h3>") + ideasTable(report);
    if (const QString sentence = missedMostSentence(report); !sentence.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(sentence.toHtmlEscaped());
    html += QStringLiteral("<p>Score moyen au dernier essai : %1/4</p>").arg(french.toString(report.meanScore(), 'f', 1));
    return html + QStringLiteral("</body></html>");
}
