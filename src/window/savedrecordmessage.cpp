#include "window/savedrecordmessage.h"

QString savedRecordMessage(const SaveOutcome &saved)
{
    if (saved.logTouched) {
        return QStringLiteral("Le résultat n'a peut-être été enregistré qu'en partie dans le fichier %1:\n%2\n")
                   .arg(saved.logName, saved.reason)
               + (saved.place == SaveOutcome::Place::RescueLog
                      ? QStringLiteral("Il a été enregistré en entier dans %1.").arg(saved.rescueName)
                      : QStringLiteral("Il n'a pas pu être enregistré ailleurs non plus."));
    }
    if (saved.refused) {
        return QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1:\n%2\n").arg(saved.logName, saved.reason)
               + (saved.place == SaveOutcome::Place::RescueLog
                      ? QStringLiteral("Il a été enregistré dans %1.").arg(saved.rescueName)
                      : QStringLiteral("Il n'a pas pu être enregistré non plus dans %1:\n%2\n"
                                       "Il n'a été écrit que sur la sortie d'erreur du programme.")
                            .arg(saved.rescueName, saved.rescueReason));
    }
    if (saved.place == SaveOutcome::Place::RescueLog) {
        // Given up on: where it is now is for the teacher to know.
        return QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1.\n"
                              "Il a été enregistré dans %2.")
            .arg(saved.logName, saved.rescueName);
    }
    if (saved.place == SaveOutcome::Place::Nowhere) {
        // Given up on, and the rescue log failing too: the teacher must look
        // for it where it still is.
        return QStringLiteral("Le résultat n'a pas pu être enregistré non plus dans le fichier %1:\n%2\n"
                              "Il n'a été écrit que sur la sortie d'erreur du programme.")
            .arg(saved.rescueName, saved.rescueReason);
    }
    return {};
}
