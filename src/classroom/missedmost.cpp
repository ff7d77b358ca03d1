#include "classroom/missedmost.h"

#include <algorithm>

namespace {

MissedIdea causesOf(int idea, const QuestionSummary &question)
{
    MissedIdea missed{idea, {}, 0, 0};
    const int blank = question.count(AnswerChoice::Blank);
    QList<AnswerChoice> others = answerChoices(question.paragraphCount);
    others.removeIf([&](AnswerChoice choice) { return paragraphNumber(choice) == 0 || isExpectedChoice(question, choice); });
    int most = blank;
    for (const AnswerChoice paragraph : std::as_const(others))
        most = std::max(most, question.count(paragraph));
    if (most == 0)
        return missed; // only answers that are no paragraph
    for (const AnswerChoice paragraph : std::as_const(others))
        if (question.count(paragraph) == most)
            missed.confusedWith.append(paragraphNumber(paragraph));
    missed.confused = missed.confusedWith.isEmpty() ? 0 : most;
    missed.blank = blank == most ? blank : 0;
    return missed;
}

// "a", "a et b", "a, b et c".
QString frenchList(const QStringList &parts)
{
    if (parts.size() < 2)
        return parts.value(0);
    return parts.first(parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" et ") + parts.last();
}

// "1 l'a confondue avec le paragraphe 1, 1 avec le paragraphe 2 et 1 l'a laissée sans réponse".
QString causesText(const MissedIdea &missed)
{
    const auto they = [](int count, const QString &what) {
        return count > 1 ? QStringLiteral("%1 l'ont %2").arg(count).arg(what) : QStringLiteral("1 l'a %1").arg(what);
    };
    QStringList parts;
    for (const int paragraph : missed.confusedWith)
        parts.append(parts.isEmpty()
                         ? they(missed.confused, QStringLiteral("confondue avec le paragraphe %1").arg(paragraph))
                         : QStringLiteral("%1 avec le paragraphe %2").arg(missed.confused).arg(paragraph));
    if (missed.blank > 0)
        parts.append(they(missed.blank, QStringLiteral("laissée sans réponse")));
    return frenchList(parts);
}

QString named(const MissedIdea &missed, const QList<QuestionSummary> &questions)
{
    return QStringLiteral("l'idée %1, « %2 »").arg(missed.idea + 1).arg(questions.at(missed.idea).prompt);
}

} // namespace

MissedMost missedMost(const QList<QuestionSummary> &questions)
{
    MissedMost most;
    for (const QuestionSummary &question : questions)
        most.wrong = std::max(most.wrong, question.wrong());
    if (most.wrong == 0)
        return most;
    for (qsizetype idea = 0; idea < questions.size(); ++idea) {
        most.rows = questions[idea].pupils;
        if (questions[idea].wrong() == most.wrong)
            most.ideas.append(causesOf(int(idea), questions[idea]));
    }
    return most;
}

QString missedMostSentence(const ClassReport &report)
{
    if (!report.known())
        return {}; // its ideas are not known
    const QList<QuestionSummary> questions = report.questions();
    const MissedMost most = missedMost(questions);
    if (most.ideas.isEmpty())
        return report.rowsWithAttempt() == 0 ? QString()
                                             : QStringLiteral("Toutes les idées sont justes au dernier essai.");
    const QString howMany = QStringLiteral("%1 sur %2").arg(rowNoun(report, most.wrong)).arg(most.rows);
    if (most.ideas.size() == 1) {
        const MissedIdea &missed = most.ideas.first();
        const QString causes = causesText(missed);
        return QStringLiteral("L'idée la plus manquée est %1 : %2 %3%4.")
            .arg(named(missed, questions), howMany,
                 most.wrong > 1 ? QStringLiteral("ne l'ont pas trouvée") : QStringLiteral("ne l'a pas trouvée"),
                 causes.isEmpty() ? QString() : QStringLiteral(" ; ") + causes);
    }
    QStringList ideas;
    for (const MissedIdea &missed : most.ideas) {
        const QString causes = causesText(missed);
        ideas.append(named(missed, questions) + (causes.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(causes)));
    }
    return QStringLiteral("Les idées les plus manquées, chacune par %1, sont %2.").arg(howMany, frenchList(ideas));
}
