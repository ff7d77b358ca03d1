#include "results/resultslog.h"

#include "results/appendfile.h"

namespace {

AppendResult append(const std::filesystem::path &path, const QByteArray &line, bool ownLogOnly)
{
    logfile::AppendRules rules;
    rules.ownLogOnly = ownLogOnly;
    const logfile::AppendOutcome outcome = logfile::appendLine(
        path, std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
        std::chrono::seconds(10), rules);
    return {outcome.ok, QString::fromStdString(outcome.reason), outcome.logTouched, outcome.refused};
}

} // namespace

AppendResult appendRecord(const std::filesystem::path &path, const QByteArray &line)
{
    return append(path, line, false);
}

AppendResult appendToPupilLog(const std::filesystem::path &path, const QByteArray &line)
{
    return append(path, line, true);
}

AppendResult appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line)
{
    std::error_code ignored; // a folder that cannot be made shows in the append
    std::filesystem::create_directories(rescuePath.parent_path(), ignored);
    return appendRecord(rescuePath, line);
}
