#include "cli/verifycommand.h"

#include "cli/say.h"
#include "logfile/logfile.h"
#include "paths/paths.h"
#include "saving/writerchoice.h"

#include <QStringList>

namespace {

QString where(const LogLocation &log)
{
    if (log.source.isEmpty())
        return QStringLiteral("Réglage : aucun ; le fichier habituel.\n");
    return QStringLiteral("Réglage : %1\n").arg(log.source);
}

QString fromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// What the check could not judge, what it is worth knowing, and what
// sharing a log allows.
QStringList notes(const LogLocation &log, const logfile::PathCheck &check)
{
    QStringList said;
    for (const std::string &note : check.notes)
        said.append(fromUtf8(note));
    if (!check.unverified.empty()) {
        QStringList entries;
        for (const std::string &entry : check.unverified)
            entries.append(fromUtf8(entry));
        said.append(QStringLiteral("Non vérifié : sur ce partage, le propriétaire des fichiers n'est pas visible "
                                   "(%1) ; ce sont les droits du serveur qui gardent les fichiers des élèves.")
                        .arg(entries.join(QStringLiteral(", "))));
    }
    if (!log.perPupil && !log.source.isEmpty()) {
        said.append(QStringLiteral("Ce fichier est partagé par tous les comptes : chacun peut y lire et y changer "
                                   "les résultats des autres. Un fichier par élève (%u dans le réglage) ne le "
                                   "permet pas."));
        if (check.network)
            said.append(QStringLiteral("Ce fichier est sur un partage réseau : le verrou d'une machine n'arrête pas "
                                       "celui des autres, et des résultats enregistrés au même moment peuvent se "
                                       "perdre. Réglez un fichier par élève (%u)."));
    }
    return said;
}

// Run from the account that owns the class folder: the teacher's.
QString ownFolder(const LogLocation &log, const logfile::PathCheck &check)
{
    QString text = QStringLiteral("Le dossier %1 est le vôtre : c'est celui de la classe, dont vous êtes le "
                                  "professeur.\n")
                       .arg(displayPath(log.path.parent_path()));
    if (!check.ownFolderFault.empty())
        text += QStringLiteral("Vu de ce compte, il ne va pas : %1.\n").arg(fromUtf8(check.ownFolderFault));
    else if (check.judged && check.exposure.empty())
        text += QStringLiteral("Vu de ce compte, il est bien fait.\n");
    return text + QStringLiteral("Cette vérification dit si les résultats d'un élève y sont à l'abri lancée depuis le "
                                 "compte d'un élève : « morvel2 --verifier » dans sa session.\n");
}

// What a trial append says: made, opened and locked, or why not and what
// to change.
QString trialSays(const LogLocation &log, const logfile::AppendTrial &trial)
{
    if (!trial.ok) {
        const QString advice = appendTrialAdvice(trial, log.path);
        return QStringLiteral("Essai : impossible d'y enregistrer un résultat : %1.\n%2")
            .arg(fromUtf8(trial.reason), advice.isEmpty() ? QString() : advice + u'\n');
    }
    if (!trial.created)
        return QStringLiteral("Essai : le fichier existe ; il a pu être ouvert pour y ajouter et verrouillé.\n");
    if (trial.leftBehind)
        return QStringLiteral("Essai : le fichier a pu être créé, ouvert pour y ajouter et verrouillé ; il reste, vide, "
                              "pour les résultats de ce compte.\n");
    return QStringLiteral("Essai : le fichier a pu être créé, ouvert pour y ajouter et verrouillé, puis retiré.\n");
}

} // namespace

int runVerify(const LogLocation &log, const std::filesystem::path &rescueLog, QIODevice &out)
{
    const logfile::PathCheck check = logfile::checkLogPath(log.path, log.perPupil);
    QString text = QStringLiteral("Compte : %1\n").arg(loginName()) + where(log);
    if (!log.warning.isEmpty())
        text += log.warning + u'\n';
    text += QStringLiteral("Les résultats vont dans : %1%2\n")
                .arg(displayPath(log.path), log.perPupil ? QStringLiteral(" (un fichier par élève)") : QString());
    if (check.ownFolder)
        text += ownFolder(log, check);
    // A list of rights on the log itself is taken off before the next record
    // goes in: the records still land there.
    const bool lands = check.reachable && (check.safe || check.fixedAtNextRecord);
    bool ok = lands && check.safe && check.exposure.empty();
    if (!check.reachable) {
        text += QStringLiteral("Impossible d'y écrire : %1.\n").arg(fromUtf8(check.reason));
    } else if (!check.safe && !check.ownFolder) {
        text += QStringLiteral("Cet emplacement n'est pas sûr : %1.\n").arg(fromUtf8(check.reason));
        if (check.fixedAtNextRecord)
            text += QStringLiteral("morvel2 retirera ces droits avant d'y enregistrer le prochain résultat.\n");
    }
    if (lands) {
        const logfile::AppendTrial trial = logfile::tryAppend(log.path, log.perPupil);
        text += trialSays(log, trial);
        ok = ok && trial.ok;
    }
    if (!check.exposure.empty())
        text += QStringLiteral("Cet emplacement n'est pas à l'abri des camarades : %1.\n").arg(fromUtf8(check.exposure));
    if (ok)
        text += check.judged ? QStringLiteral("Cet emplacement est sûr.\n")
                             : QStringLiteral("Les résultats peuvent y être enregistrés ; les droits du dossier n'ont "
                                              "pas été vérifiés.\n");
    if (!lands)
        text += check.ownFolder ? QStringLiteral("Vos propres exercices, faits avec ce compte, iraient dans le fichier "
                                                 "de secours %1.\n").arg(displayPath(rescueLog))
                                : QStringLiteral("Les résultats iraient dans le fichier de secours %1.\n")
                                      .arg(displayPath(rescueLog));
    for (const QString &note : notes(log, check))
        text += note + u'\n';
    say(out, text);
    return ok && log.warning.isEmpty() ? 0 : 1;
}
