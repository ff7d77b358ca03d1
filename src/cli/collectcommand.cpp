#include "cli/collectcommand.h"

#include "classroom/collectclass.h"
#include "classroom/logreader.h"
#include "classroom/wording.h"
#include "cli/say.h"
#include "logfile/logfile.h"
#include "paths/paths.h"

#include <QDir>

namespace {

QString hiddenOwners()
{
    return QStringLiteral(
        "sur ce partage, le propriétaire des fichiers n'est pas visible : ils paraissent tous être à vous. "
        "Un fichier déposé par un camarade sous le nom d'un élève ne peut donc pas être reconnu ici ; "
        "ce sont les droits du serveur qui l'en empêchent (%1 dit comment les vérifier).").arg(deploymentGuide());
}

int collectPupils(const PupilLogs &logs, const QString &folder, QIODevice &out, QIODevice &err)
{
    const ClassCollectOutcome outcome = collectClass(logs, localPath(folder));
    if (!outcome.failure.isEmpty()) {
        complain(err, QStringLiteral("%1 ; rien n'a été déplacé.\n").arg(outcome.failure));
        return 1;
    }
    for (const QString &ignored : outcome.ignored)
        complain(err, QStringLiteral("ignoré : %1\n").arg(ignored));
    if (const QString others = otherIgnoredFiles(outcome.ignored.size(), outcome.ignoredCount); !others.isEmpty())
        complain(err, others + u'\n');
    for (const QString &left : outcome.leftAlone)
        complain(err, left + u'\n');
    if (!outcome.ownerUnverified.isEmpty()) {
        complain(err, hiddenOwners() + u'\n');
        for (const QString &log : outcome.ownerUnverified)
            complain(err, QStringLiteral("%1 : propriétaire non vérifié\n").arg(log));
    }
    if (outcome.pupils == 0 && outcome.leftAlone.isEmpty())
        say(out, QStringLiteral("Aucun résultat à recueillir dans %1.\n").arg(displayPath(logs.folder)));
    else
        say(out, QStringLiteral("%1, %2 dans %3.\n")
                     .arg(plural(outcome.pupils, QStringLiteral("élève"), QStringLiteral("élèves")),
                          recordsCollected(outcome.records), folder));
    return outcome.leftAlone.isEmpty() ? 0 : 1;
}

int collectOneLog(const std::filesystem::path &log, const QString &destination, QIODevice &out, QIODevice &err)
{
    RecordTally tally;
    logfile::CollectRules rules;
    rules.observe = [&tally](const char *bytes, std::size_t size) { tally.add(QByteArrayView(bytes, qsizetype(size))); };
    const logfile::CollectOutcome outcome =
        logfile::collectLog(log, localPath(destination), std::chrono::seconds(10), rules);
    const QString logName = displayPath(log);
    const QString reason = QString::fromStdString(outcome.reason);
    if (outcome.destinationExists) {
        complain(err, QStringLiteral("%1 existe déjà ; rien n'a été déplacé.\n").arg(destination));
        return 1;
    }
    if (!outcome.ok && outcome.destinationAtFault) {
        complain(err, QStringLiteral("impossible d'écrire %1 : %2 ; le fichier de résultats %3 reste en place.\n")
                          .arg(destination, reason, logName));
        return 1;
    }
    if (!outcome.ok) {
        complain(err, QStringLiteral("impossible de recueillir %1 : %2\n").arg(logName, reason));
        return 1;
    }
    if (outcome.noLog)
        say(out, QStringLiteral("Aucun résultat à recueillir : %1 n'existe pas.\n").arg(logName));
    else
        say(out, recordsCollected(tally.finish()) + QStringLiteral(" dans %1.\n").arg(destination));
    return 0;
}

} // namespace

int runCollect(const LogLocation &log, const QString &destination, QIODevice &out, QIODevice &err)
{
    if (!log.warning.isEmpty())
        complain(err, log.warning + u'\n');
    const QString destinationName = QDir::toNativeSeparators(QDir::current().absoluteFilePath(destination));
    switch (collectScopeFor(log)) {
    case CollectScope::WholeClass:
        return collectPupils(*log.pupilLogs, destinationName, out, err);
    case CollectScope::NotCollectable:
        complain(err, QStringLiteral("le réglage range chaque élève dans un dossier à son nom ; --collect ne "
                                     "recueille une classe que si %u est dans le nom du fichier "
                                     "(par exemple /srv/classe/%u.txt).\n"));
        return 1;
    case CollectScope::OneLog:
        break;
    }
    return collectOneLog(log.path, destinationName, out, err);
}
