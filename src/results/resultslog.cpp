#include "results/resultslog.h"

#include "results/appendfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

AppendResult appendRecord(const QString &path, const QByteArray &line)
{
    const logfile::AppendOutcome outcome =
        logfile::appendLine(nativePath(path), std::string_view(line.constData(),
                                                               static_cast<std::size_t>(line.size())));
    return {outcome.ok, QString::fromStdString(outcome.reason)};
}

AppendResult appendToRescueLog(const QString &rescuePath, const QByteArray &line)
{
    QDir().mkpath(QFileInfo(rescuePath).absolutePath());
    return appendRecord(rescuePath, line);
}
