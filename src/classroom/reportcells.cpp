#include "classroom/reportcells.h"

#include "classroom/wording.h"

#include <QLocale>

QStringList rowHeaders(ReportRows rows, int ideas)
{
    QStringList headers{rows == ReportRows::Attempts ? QStringLiteral("essai") : QStringLiteral("élève"),
                        QStringLiteral("essais")};
    for (int idea = 1; idea <= ideas; ++idea)
        headers.append(QStringLiteral("idée %1").arg(idea));
    return headers << QStringLiteral("score") << QStringLiteral("meilleur") << QStringLiteral("dernier essai");
}

QStringList ideaHeaders(int paragraphCount)
{
    QStringList headers{QStringLiteral("idée"), QStringLiteral("question"), QStringLiteral("paragraphe"),
                        QStringLiteral("justes")};
    for (const AnswerChoice choice : answerChoices(paragraphCount)) {
        if (choice == AnswerChoice::Blank)
            headers.append(QStringLiteral("sans réponse"));
        else if (choice == AnswerChoice::Other)
            headers.append(QStringLiteral("autre"));
        else
            headers.append(QStringLiteral("par. %1").arg(paragraphNumber(choice)));
    }
    return headers;
}

bool shortIdeaHeaders(int paragraphCount)
{
    return paragraphCount > 4;
}

QStringList printedIdeaHeaders(int paragraphCount)
{
    QStringList headers = ideaHeaders(paragraphCount);
    if (shortIdeaHeaders(paragraphCount)) {
        for (QString &header : headers)
            header.replace(QStringLiteral("par. "), QStringLiteral("p")).replace(QStringLiteral("sans réponse"), QStringLiteral("vide"));
    }
    return headers;
}

QString shortHeadersNote()
{
    return QStringLiteral("p1 : le paragraphe 1 ; vide : sans réponse");
}

QString exerciseTitle(const ClassReport &report)
{
    const QString said = report.known() ? plural(report.ideaCount(), QStringLiteral("idée"), QStringLiteral("idées"))
                                        : QStringLiteral("exercice inconnu");
    return QStringLiteral("%1 – %2 (%3)").arg(report.exercise().code, report.exercise().label, said);
}

QString unknownExerciseNote()
{
    return QStringLiteral("Exercice inconnu : son fichier n'est ni dans le dossier des exercices ni parmi ceux "
                          "nommés ; seuls les scores (« justes ») de ses résultats sont lus, pas les réponses.");
}

QString nameCell(const PupilSummary &row)
{
    return row.ownerUnverified ? QStringLiteral("%1 (%2)").arg(row.name, QString::fromUtf8(ownerUnverifiedNote))
                               : row.name;
}

QString answerCell(const ReadRecord &record, std::size_t question)
{
    const QString answer = record.answers.value(qsizetype(question));
    if (answer.isEmpty())
        return QStringLiteral("–");
    return shownAnswer(answer) + (record.right[question] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"))
           + (record.untyped[question] ? QStringLiteral("*") : QString());
}

QString scoreCell(int score, int outOf)
{
    return outOf > 0 ? QStringLiteral("%1/%2").arg(score).arg(outOf) : QString::number(score);
}

QString lastChangedCell(const PupilSummary &row)
{
    if (!row.lastChanged.isValid())
        return QStringLiteral("–");
    const QString when = QLocale(QLocale::French, QLocale::France)
                             .toString(row.lastChanged.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm"));
    return row.lastChangedBound ? QStringLiteral("avant le %1").arg(when) : when;
}

QString spreadCell(const QuestionSummary &question, AnswerChoice choice)
{
    const int count = question.count(choice);
    return isExpectedChoice(question, choice) ? QStringLiteral("%1 ✓").arg(count) : QString::number(count);
}

bool anyUntypedShown(const ClassReport &report)
{
    for (qsizetype i = 0; i < report.rowCount(); ++i)
        if (report.attemptsOf(i) > 0 && report.lastOf(i).anyUntyped())
            return true;
    return false;
}
