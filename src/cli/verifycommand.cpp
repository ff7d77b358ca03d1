#include "cli/verifycommand.h"

#include "cli/say.h"
#include "logfile/logfile.h"
#include "paths/paths.h"

#include <QStringList>

namespace {

QString where(const LogLocation &log)
{
    if (log.source.isEmpty())
        return QStringLiteral("Réglage : aucun ; le fichier habituel.\n");
    return QStringLiteral("Réglage : %1\n").arg(log.source);
}

// What the check could not judge, and what sharing a log allows.
QStringList notes(const LogLocation &log, const logfile::PathCheck &check)
{
    QStringList said;
    if (!check.judged)
        said.append(QStringLiteral(
            "Non vérifié : sur Windows, morvel2 ne lit pas les droits NTFS. Vérifiez sur le serveur que les élèves "
            "peuvent créer des fichiers dans le dossier de la classe et y ajouter, sans le lister ni lire ceux des "
            "autres, et que le professeur y a le contrôle total (%1).").arg(deploymentGuide()));
    if (!check.unverified.empty()) {
        QStringList entries;
        for (const std::string &entry : check.unverified)
            entries.append(QString::fromStdString(entry));
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

} // namespace

int runVerify(const LogLocation &log, const std::filesystem::path &rescueLog, QIODevice &out)
{
    const logfile::PathCheck check = logfile::checkLogPath(log.path, log.perPupil);
    QString text = QStringLiteral("Compte : %1\n").arg(loginName()) + where(log);
    if (!log.warning.isEmpty())
        text += log.warning + u'\n';
    text += QStringLiteral("Les résultats vont dans : %1%2\n")
                .arg(displayPath(log.path), log.perPupil ? QStringLiteral(" (un fichier par élève)") : QString());
    const bool usable = check.reachable && check.safe;
    if (!check.reachable)
        text += QStringLiteral("Impossible d'y écrire : %1.\n").arg(QString::fromStdString(check.reason));
    else if (!check.safe)
        text += QStringLiteral("Cet emplacement n'est pas sûr : %1.\n").arg(QString::fromStdString(check.reason));
    else if (!check.judged)
        text += QStringLiteral("Le dossier est là ; ses droits n'ont pas été vérifiés.\n");
    else
        text += QStringLiteral("Cet emplacement est sûr.\n");
    if (!usable)
        text += QStringLiteral("Les résultats iraient dans le fichier de secours %1.\n").arg(displayPath(rescueLog));
    for (const QString &note : notes(log, check))
        text += note + u'\n';
    say(out, text);
    return usable && log.warning.isEmpty() ? 0 : 1;
}
