#include "results/collectclass.h"

#include "paths/paths.h"
#include "results/appendfile.h"

#include <QDir>
#include <QFileInfo>

ClassCollectOutcome collectClass(const PupilLogs &logs, const std::filesystem::path &destination)
{
    ClassCollectOutcome outcome;
    const QDir classFolder(displayPath(logs.folder));
    if (!QFileInfo(classFolder.path()).isDir() || !QFileInfo(classFolder.path()).isReadable()) {
        outcome.failure = QStringLiteral("impossible de lire le dossier de la classe %1")
                              .arg(QDir::toNativeSeparators(classFolder.path()));
        return outcome;
    }
    const QFileInfoList entries = classFolder.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (const QString made = makePrivateFolder(destination); !made.isEmpty()) {
        outcome.failure = made;
        return outcome;
    }
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const qsizetype loginLength = name.size() - logs.prefix.size() - logs.suffix.size();
        if (loginLength <= 0 || !name.startsWith(logs.prefix) || !name.endsWith(logs.suffix))
            continue;
        const QString login = name.sliced(logs.prefix.size(), loginLength);
        const QString shown = printableName(QDir::toNativeSeparators(entry.filePath()));
        if (entry.isSymLink() || !entry.isFile()) {
            outcome.leftAlone.append(QStringLiteral("%1 : %2 ; laissé en place")
                                         .arg(shown, entry.isSymLink() ? QStringLiteral("c'est un lien symbolique")
                                                                       : QStringLiteral("ce n'est pas un fichier ordinaire")));
            continue;
        }
        logfile::CollectRules rules;
        rules.expectedOwner = login.toStdString();
        const logfile::CollectOutcome collected = logfile::collectLog(
            logs.folder / localPath(name), destination / localPath(name), std::chrono::seconds(10), rules);
        if (!collected.ok && collected.destinationAtFault) {
            outcome.leftAlone.append(QStringLiteral("impossible d'écrire %1 : %2 ; %3 reste en place")
                                         .arg(printableName(displayPath(destination / localPath(name))),
                                              printableName(QString::fromStdString(collected.reason)), shown));
            continue;
        }
        if (!collected.ok) {
            outcome.leftAlone.append(QStringLiteral("%1 : %2 ; laissé en place")
                                         .arg(shown, printableName(QString::fromStdString(collected.reason))));
            continue;
        }
        if (collected.noLog)
            continue;
        ++outcome.pupils;
        outcome.records += collected.records;
    }
    return outcome;
}
