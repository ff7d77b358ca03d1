#include "classroom/classsources.h"

#include "classroom/wording.h"
#include "paths/paths.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <numeric>

namespace {

// A file named on the command line is read as the teacher named it,
// through a link too; its pupil is what the naming rule says, or its name.
LogSource namedFile(const QString &path, const LogNaming &naming)
{
    const std::filesystem::path local = localPath(path);
    const QString name = displayPath(local.filename());
    return {{local, naming.pupilOf(name).value_or(QFileInfo(name).completeBaseName())}, true};
}

bool isFolder(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_directory(std::filesystem::status(localPath(path), error));
}

void addFolder(const QString &path, const LogNaming &naming, ClassSources &sources)
{
    const ClassFolderListing listing = listClassFolder(localPath(path), naming);
    if (!listing.failure.isEmpty())
        sources.problems.append(QStringLiteral("impossible de lire %1 : le dossier ne peut pas être lu")
                                    .arg(printableName(QDir::toNativeSeparators(path))));
    sources.ignored += listing.ignored;
    sources.ignoredCount += listing.ignoredCount;
    for (const SetAsideFile &setAside : listing.setAside)
        sources.problems.append(QStringLiteral("impossible de lire %1 : %2").arg(setAside.file, setAside.reason));
    for (const PupilLogFile &log : listing.logs)
        sources.logs.append({log, false});
}

} // namespace

ClassSources findClassSources(const QStringList &paths, const LogNaming &naming)
{
    ClassSources sources;
    const bool oneFile = paths.size() == 1 && !isFolder(paths.first());
    sources.rows = oneFile ? ReportRows::Attempts : ReportRows::Pupils;
    for (const QString &path : paths) {
        if (isFolder(path)) {
            addFolder(path, naming, sources);
            continue;
        }
        LogSource log = namedFile(path, naming);
        std::error_code error;
        const bool exists = std::filesystem::exists(std::filesystem::symlink_status(log.file.path, error));
        // A file that is not there is said when read; one there that the rule does not take is no log.
        if (!oneFile && exists && !naming.pupilOf(displayPath(log.file.path.filename()))) {
            sources.ignored.append(printableName(QDir::toNativeSeparators(path)));
            ++sources.ignoredCount;
            continue;
        }
        sources.logs.append(log);
    }
    if (sources.ignored.size() > ignoredNamesKept) {
        std::sort(sources.ignored.begin(), sources.ignored.end(), frenchOrder());
        sources.ignored.resize(ignoredNamesKept);
    }
    // Oldest change first; a file that cannot be looked at keeps its place
    // and is said when read.
    QList<std::filesystem::file_time_type> changed;
    for (const LogSource &log : std::as_const(sources.logs)) {
        std::error_code error;
        changed.append(std::filesystem::last_write_time(log.file.path, error));
    }
    QList<qsizetype> order(sources.logs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&changed](qsizetype a, qsizetype b) { return changed[a] < changed[b]; });
    // Pupils in French order, each one's logs oldest first.
    const QCollator french = frenchOrder();
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return french(sources.logs[a].file.pupil, sources.logs[b].file.pupil);
    });
    QList<LogSource> sorted;
    for (const qsizetype index : std::as_const(order))
        sorted.append(sources.logs.at(index));
    sources.logs = sorted;
    return sources;
}

ReadRules readRulesFor(const LogSource &log)
{
    ReadRules rules;
    rules.followLink = log.named;
#ifndef Q_OS_WIN
    if (!log.named)
        rules.expectedOwner = localPath(log.file.pupil).native();
#endif
    return rules;
}
