#include "classroom/reportcells.h"

#include <QLocale>

QStringList rowHeaders(ReportRows rows)
{
    return {rows == ReportRows::Attempts ? QStringLiteral("essai") : QStringLiteral("élève"),
            QStringLiteral("essais"),
            QStringLiteral("idée 1"),
            QStringLiteral("idée 2"),
            QStringLiteral("idée 3"),
            QStringLiteral("idée 4"),
            QStringLiteral("score"),
            QStringLiteral("meilleur"),
            QStringLiteral("dernier essai")};
}

QStringList ideaHeaders()
{
    return {QStringLiteral("idée"),   QStringLiteral("question"), QStringLiteral("paragraphe"),
            QStringLiteral("justes"), QStringLiteral("par. 1"),   QStringLiteral("par. 2"),
            QStringLiteral("par. 3"), QStringLiteral("par. 4"),   QStringLiteral("sans réponse"),
            QStringLiteral("autre")};
}

QString nameCell(const PupilSummary &row)
{
    return row.ownerUnverified ? QStringLiteral("%1 (%2)").arg(row.name, QString::fromUtf8(ownerUnverifiedNote))
                               : row.name;
}

QString answerCell(const ReadRecord &record, std::size_t question)
{
    if (record.answers[question].isEmpty())
        return QStringLiteral("–");
    return shownAnswer(record.answers[question]) + (record.right[question] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"))
           + (record.untyped[question] ? QStringLiteral("*") : QString());
}

QString scoreCell(int score)
{
    return QStringLiteral("%1/%2").arg(score).arg(Content::questionCount);
}

QString lastChangedCell(const PupilSummary &row)
{
    if (!row.lastChanged.isValid())
        return QStringLiteral("–");
    return QLocale(QLocale::French, QLocale::France)
        .toString(row.lastChanged.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString spreadCell(const QuestionSummary &question, AnswerChoice choice)
{
    const int count = question.spread[std::size_t(choice)];
    return isExpectedChoice(question, choice) ? QStringLiteral("%1 ✓").arg(count) : QString::number(count);
}

bool anyUntypedShown(const ClassReport &report)
{
    for (qsizetype i = 0; i < report.rowCount(); ++i)
        if (report.attemptsOf(i) > 0 && report.lastOf(i).anyUntyped())
            return true;
    return false;
}
