#include "saving/writerchoice.h"

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

QString pupilLogWarning(const LogLocation &log, const std::filesystem::path &rescueLog)
{
    if (!log.perPupil)
        return {};
    const logfile::PathCheck check = logfile::checkLogPath(log.path, true);
    if (!check.judged || !check.reachable || check.safe)
        return {};
    return QStringLiteral("Le fichier des résultats %1 ne peut pas être gardé à l'abri des autres comptes : %2.\n"
                          "Les résultats seront enregistrés dans %3.")
        .arg(displayPath(log.path), QString::fromStdString(check.reason), displayPath(rescueLog));
}

RecordWriters writersFor(const LogLocation &log)
{
    RecordWriters writers;
    if (log.perPupil)
        writers.append = appendToPupilLog;
    return writers;
}
