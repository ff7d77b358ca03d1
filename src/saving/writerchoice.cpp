#include "saving/writerchoice.h"

#include "logfile/reasons.h"
#include "paths/paths.h"
#include "saving/rescuefolder.h"

#include <cstdio>

namespace {

AppendOutcome append(const std::filesystem::path &path, const QByteArray &line, const logfile::AppendRules &rules)
{
    return logfile::appendLine(path, std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
                               std::chrono::seconds(10), rules);
}

} // namespace

AppendOutcome appendRecord(const std::filesystem::path &path, const QByteArray &line)
{
    return append(path, line, {});
}

AppendOutcome appendToPupilLog(const std::filesystem::path &path, const QByteArray &line)
{
    logfile::AppendRules rules;
    rules.ownLogOnly = true;
    return append(path, line, rules);
}

AppendOutcome appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line)
{
    // The records may be the ones a class folder was meant to keep private.
    RescueFolders(rescuePath).make();
    logfile::AppendRules rules;
    rules.privateLog = true;
    return append(rescuePath, line, rules);
}

void RecordWriters::reportOnStandardError(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

QString appendTrialAdvice(const logfile::AppendTrial &trial, const std::filesystem::path &log)
{
    const QString folder = displayPath(log.parent_path());
    if (trial.wineListing)
        return QStringLiteral("Sous Wine, un dossier que ce compte ne peut pas lister refuse la création de son fichier "
                              "(Wine y cherche le nom parmi ceux du dossier). Sans rien changer aux droits du dossier "
                              "%1, créez-y d'avance le fichier vide de chaque élève, à son nom et qui lui appartienne : "
                              "morvel2 y ajoute ensuite ses résultats.")
            .arg(folder);
    if (trial.reason == logfile::reasons::permissionDenied)
        return QStringLiteral("Donnez aux comptes des élèves le droit de créer des fichiers dans le dossier %1, sans "
                              "celui de le lister (voir le guide de déploiement, %2).")
            .arg(folder, deploymentGuide());
    return {};
}

QString pupilLogWarning(const LogLocation &log, const std::filesystem::path &rescueLog)
{
    if (!log.perPupil)
        return {};
    // A missing folder is the setting's own warning.
    const logfile::PathCheck check = logfile::checkLogPath(log.path, true);
    if (!check.reachable)
        return {};
    // A list of rights on the log is taken off before the next record.
    if (!check.safe && !check.fixedAtNextRecord)
        return QStringLiteral("Le fichier des résultats %1 ne peut pas être gardé à l'abri des autres comptes : %2.\n"
                              "Les résultats seront enregistrés dans %3.")
            .arg(displayPath(log.path), QString::fromStdString(check.reason), displayPath(rescueLog));
    if (!check.trialNeeded)
        return {};
    const logfile::AppendTrial trial = logfile::tryAppend(log.path, true);
    if (trial.ok)
        return {};
    const QString advice = appendTrialAdvice(trial, log.path);
    return QStringLiteral("Le fichier des résultats %1 ne peut pas être créé : %2.%3")
        .arg(displayPath(log.path), QString::fromStdString(trial.reason),
             advice.isEmpty() ? QString() : u'\n' + advice);
}

RecordWriters writersFor(const LogLocation &log)
{
    RecordWriters writers;
    if (log.perPupil)
        writers.append = appendToPupilLog;
    return writers;
}
