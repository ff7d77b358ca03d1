#include "results/resultslog.h"

#include "results/appendfile.h"

AppendResult appendRecord(const std::filesystem::path &path, const QByteArray &line)
{
    const logfile::AppendOutcome outcome = logfile::appendLine(
        path, std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    return {outcome.ok, QString::fromStdString(outcome.reason), outcome.logTouched};
}

AppendResult appendToRescueLog(const std::filesystem::path &rescuePath, const QByteArray &line)
{
    std::error_code ignored; // a folder that cannot be made shows in the append
    std::filesystem::create_directories(rescuePath.parent_path(), ignored);
    return appendRecord(rescuePath, line);
}
