#include "results/resultslog.h"

#include "results/appendfile.h"

namespace {

AppendResult append(const std::filesystem::path &path, const QByteArray &line, const logfile::AppendRules &rules)
{
    const logfile::AppendOutcome outcome = logfile::appendLine(
        path, std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
        std::chrono::seconds(10), rules);
    return {outcome.ok, QString::fromStdString(outcome.reason), outcome.logTouched, outcome.refused};
}

} // namespace

AppendResult appendRecord(const std::filesystem::path &path, const QByteArray &line)
{
    return append(path, line, {});
}

AppendResult appendToPupilLog(const std::filesystem::path &path, const QByteArray &line)
{
    logfile::AppendRules rules;
    rules.ownLogOnly = true;
    return append(path, line, rules);
}

AppendResult appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line)
{
    // The folders it makes, like the log, are this account's alone: the
    // records may be the ones a class folder was meant to keep private.
    std::filesystem::path folder;
    for (const std::filesystem::path &part : rescuePath.parent_path()) {
        folder /= part;
        std::error_code ignored; // a folder that cannot be made shows in the append
        if (std::filesystem::create_directory(folder, ignored))
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, ignored);
    }
    logfile::AppendRules rules;
    rules.privateLog = true;
    return append(rescuePath, line, rules);
}
