#include "classroom/classpage.h"

#include "classroom/missedmost.h"
#include "classroom/reportcells.h"
#include "classroom/wording.h"

#include <QLocale>

namespace {

const QString centred = QStringLiteral("text-align: center");

QString cell(const QString &text, const QString &style = {})
{
    return QStringLiteral("<td%1>%2</td>").arg(style.isEmpty() ? QString() : QStringLiteral(" style=\"%1\"").arg(style),
                                             text.toHtmlEscaped());
}

// `wide`: the column that takes what the others leave, a quarter of the page.
QString headerRow(const QStringList &headers, qsizetype wide = -1)
{
    QString html = QStringLiteral("<thead><tr>");
    for (qsizetype i = 0; i < headers.size(); ++i)
        html += QStringLiteral("<th%1>%2</th>")
                    .arg(i == wide ? QStringLiteral(" width=\"25%\"") : QString(), headers.at(i).toHtmlEscaped());
    return html + QStringLiteral("</tr></thead>");
}

QString rowCells(const PupilSummary &row, const ClassReport &report)
{
    const bool any = row.attempts > 0;
    QString html = cell(nameCell(row)) + cell(QString::number(row.attempts), centred);
    for (int question = 0; question < report.outOf(); ++question)
        html += cell(any ? answerCell(row.last, std::size_t(question)) : QString(), centred);
    return html + cell(any ? scoreCell(row.last.score(), report.outOf()) : QStringLiteral("–"), centred)
           + cell(any ? scoreCell(row.best, report.outOf()) : QStringLiteral("–"), centred) + cell(lastChangedCell(row));
}

QString rowsTable(const ClassReport &report, const QList<qsizetype> &order)
{
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" border=\"1\">")
                   + headerRow(rowHeaders(report.rowKind(), report.outOf()));
    const qsizetype count = order.isEmpty() ? report.rowCount() : order.size();
    for (qsizetype i = 0; i < count; ++i)
        html += QStringLiteral("<tr>") + rowCells(report.row(order.isEmpty() ? i : order.at(i)), report)
                + QStringLiteral("</tr>");
    return html + QStringLiteral("</table>");
}

QString ideasTable(const ClassReport &report)
{
    QString html = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" border=\"1\">")
                   + headerRow(printedIdeaHeaders(report.paragraphCount()), 1);
    int number = 0;
    for (const QuestionSummary &question : report.questions()) {
        html += QStringLiteral("<tr>") + cell(QString::number(++number)) + cell(question.prompt)
                + cell(question.expected, centred)
                + cell(QStringLiteral("%1/%2").arg(question.right).arg(question.pupils), centred);
        for (const AnswerChoice choice : answerChoices(report.paragraphCount()))
            html += cell(spreadCell(question, choice), centred);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString noticesHtml(const QList<ClassNotice> &notices)
{
    QString html;
    for (const ClassNotice &notice : notices) {
        html += QStringLiteral("<p>%1").arg(notice.text.toHtmlEscaped());
        const qsizetype shown = std::min(notice.items.size(), printedNoticeItems);
        for (qsizetype i = 0; i < shown; ++i)
            html += QStringLiteral("<br>&nbsp;&nbsp;%1").arg(notice.items.at(i).toHtmlEscaped());
        if (notice.items.size() > shown)
            html += QStringLiteral("<br>&nbsp;&nbsp;… (%1 dans la fenêtre)")
                        .arg(plural(notice.items.size() - shown, QStringLiteral("autre ligne"),
                                    QStringLiteral("autres lignes")));
        html += QStringLiteral("</p>");
    }
    return html;
}

} // namespace

QString classPageHtml(const ClassReport &report, const ClassPage &page)
{
    const QLocale french(QLocale::French, QLocale::France);
    QString html = QStringLiteral("<html><body style=\"font-family: 'Liberation Sans', sans-serif; font-size: 9pt\">");
    html += QStringLiteral("<h2>Résultats de la classe</h2><p>%1<br>Lu le %2</p>")
                .arg(page.opened.toHtmlEscaped(),
                     french.toString(page.readAt, QStringLiteral("dddd d MMMM yyyy 'à' HH:mm")).toHtmlEscaped());
    html += QStringLiteral("<h3>Exercice %1</h3>").arg(exerciseTitle(report).toHtmlEscaped());
    if (!report.known())
        html += QStringLiteral("<p>%1</p>").arg(unknownExerciseNote().toHtmlEscaped());
    html += QStringLiteral("<p>✓ juste · ✗ faux · – sans réponse · réponses et score du dernier essai%1</p>")
                .arg(page.orderText.isEmpty() ? QString() : QStringLiteral(" · ") + page.orderText.toHtmlEscaped());
    html += noticesHtml(page.notices);
    html += rowsTable(report, page.order);
    const QString mean = french.toString(report.meanScore(), 'f', 1);
    if (!report.known())
        return html + QStringLiteral("<p>Score moyen au dernier essai : %1 justes</p></body></html>").arg(mean);
    html += QStringLiteral("<h3>Les idées</h3>");
    if (shortIdeaHeaders(report.paragraphCount()))
        html += QStringLiteral("<p>%1</p>").arg(shortHeadersNote().toHtmlEscaped());
    html += ideasTable(report);
    if (const QString sentence = missedMostSentence(report); !sentence.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(sentence.toHtmlEscaped());
    html += QStringLiteral("<p>Score moyen au dernier essai : %1/%2</p>").arg(mean).arg(report.outOf());
    return html + QStringLiteral("</body></html>");
}
