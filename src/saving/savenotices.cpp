#include "saving/savenotices.h"

namespace {

QString forTheChildThenTheAdult(const QString &sentence, const QString &details)
{
    return sentence + QStringLiteral("\n\nPour l'adulte qui vient aider :\n") + details;
}

const QString keptElsewhere =
    QStringLiteral("Ton résultat est gardé, mais pas à l'endroit habituel : préviens ton maître ou ta maîtresse.");
const QString notKept = QStringLiteral("Ton résultat n'a pas pu être enregistré : préviens tout de suite ton maître ou "
                                       "ta maîtresse, sans éteindre l'ordinateur.");

// Where a record that did not go to the log is now.
QString whereItIs(const SaveOutcome &saved, const QString &whole)
{
    if (saved.place == SaveOutcome::Place::RescueLog)
        return QStringLiteral("Il a été enregistré%1 dans %2.").arg(whole, saved.rescueName);
    return QStringLiteral("Il n'a pas pu être enregistré non plus dans %1:\n%2\n"
                          "Il n'a été écrit que sur la sortie d'erreur du programme.")
        .arg(saved.rescueName, saved.rescueReason);
}

} // namespace

QString startupNotice(const QString &details)
{
    return forTheChildThenTheAdult(QStringLiteral("L'endroit où ton résultat doit être enregistré a un problème. Tu "
                                                  "peux faire l'exercice, mais préviens ton maître ou ta maîtresse."),
                                   details);
}

QString retryNotice(const QString &logName, const QString &reason)
{
    return forTheChildThenTheAdult(
        QStringLiteral("Ton résultat n'a pas pu être enregistré : préviens ton maître ou ta maîtresse."),
        QStringLiteral("Le résultat n'a pas pu être enregistré dans le fichier %1:\n%2\n"
                       "« Réessayer » une fois la cause réglée ; « Abandonner » le garde dans le fichier de secours.")
            .arg(logName, reason));
}

QString savedElsewhereNotice(const SaveOutcome &saved)
{
    const QString sentence = saved.place == SaveOutcome::Place::RescueLog ? keptElsewhere : notKept;
    if (saved.logTouched)
        return forTheChildThenTheAdult(
            sentence, QStringLiteral("Le résultat n'a peut-être été enregistré qu'en partie dans le fichier %1:\n%2\n")
                              .arg(saved.logName, saved.reason)
                          + whereItIs(saved, QStringLiteral(" en entier")));
    if (saved.refused)
        return forTheChildThenTheAdult(
            sentence, QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1:\n%2\n")
                              .arg(saved.logName, saved.reason)
                          + whereItIs(saved, {}));
    if (saved.place == SaveOutcome::Place::Log)
        return {};
    return forTheChildThenTheAdult(
        sentence, QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1.\n").arg(saved.logName)
                      + whereItIs(saved, {}));
}
