#include "classroom/classfolder.h"

#include "classroom/wording.h"
#include "logfile/reasons.h"
#include "paths/paths.h"

#include <QCollatorSortKey>

#include <algorithm>
#include <queue>
#include <vector>

std::optional<QString> LogNaming::pupilOf(const QString &fileName) const
{
    const qsizetype loginLength = fileName.size() - prefix.size() - suffix.size();
    if (loginLength <= 0 || !fileName.startsWith(prefix) || !fileName.endsWith(suffix))
        return std::nullopt;
    return fileName.sliced(prefix.size(), loginLength);
}

LogNaming namingFor(const LogLocation &log)
{
    if (!log.pupilLogs)
        return {};
    return {log.pupilLogs->prefix, log.pupilLogs->suffix};
}

QString otherIgnoredFiles(qsizetype named, qsizetype count)
{
    const qsizetype others = count - named;
    if (others <= 0)
        return {};
    return QStringLiteral("… et %1").arg(others > 1 ? QStringLiteral("%1 autres fichiers ignorés").arg(others)
                                                     : QStringLiteral("1 autre fichier ignoré"));
}

namespace {

QString nameOf(const std::filesystem::path &entry)
{
    return displayPath(entry.filename());
}

// Why an entry named like a log is not read as one, or nothing.
std::optional<QString> notALog(const std::filesystem::directory_entry &entry)
{
    std::error_code error;
    const std::filesystem::file_status status = entry.symlink_status(error);
    if (error)
        return QString::fromUtf8(logfile::reasons::permissionDenied);
    if (std::filesystem::is_symlink(status))
        return QString::fromUtf8(logfile::reasons::isALink);
    if (!std::filesystem::is_regular_file(status))
        return QString::fromUtf8(logfile::reasons::notAFile);
    return std::nullopt;
}

} // namespace

ClassFolderListing listClassFolder(const std::filesystem::path &folder, const LogNaming &naming)
{
    ClassFolderListing listing;
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        listing.failure = QStringLiteral("impossible de lire le dossier %1").arg(printableName(displayPath(folder)));
        return listing;
    }
    // The ignored names first by their bytes, the largest on top: only
    // those kept are made printable and sorted as a teacher reads.
    const auto byBytes = [](const std::filesystem::path &a, const std::filesystem::path &b) {
        return a.native() < b.native();
    };
    std::priority_queue<std::filesystem::path, std::vector<std::filesystem::path>, decltype(byBytes)> ignored(byBytes);
    for (const std::filesystem::directory_entry &entry : entries) {
        const std::optional<QString> pupil = naming.pupilOf(nameOf(entry.path()));
        if (!pupil) {
            ++listing.ignoredCount;
            if (qsizetype(ignored.size()) < ignoredNamesKept || entry.path().native() < ignored.top().native())
                ignored.push(entry.path());
            if (qsizetype(ignored.size()) > ignoredNamesKept)
                ignored.pop();
        } else if (const std::optional<QString> why = notALog(entry)) {
            listing.setAside.append({printableName(displayPath(entry.path())), *why});
        } else {
            listing.logs.append({entry.path(), *pupil});
        }
    }
    for (; !ignored.empty(); ignored.pop())
        listing.ignored.append(printableName(displayPath(ignored.top())));
    // As a teacher reads a class list; names the collator finds equal keep
    // their bytes' order, so that the order never depends on the listing's.
    // Each name's sort key made once: a folder may hold many thousands.
    const QCollator order = frenchOrder();
    std::vector<std::pair<QCollatorSortKey, PupilLogFile>> keyed;
    keyed.reserve(std::size_t(listing.logs.size()));
    for (PupilLogFile &log : listing.logs)
        keyed.emplace_back(order.sortKey(log.pupil), std::move(log));
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        const int compared = a.first.compare(b.first);
        return compared != 0 ? compared < 0 : a.second.path < b.second.path;
    });
    listing.logs.clear();
    for (auto &entry : keyed)
        listing.logs.append(std::move(entry.second));
    std::sort(listing.ignored.begin(), listing.ignored.end(), order);
    std::sort(listing.setAside.begin(), listing.setAside.end(),
              [&order](const SetAsideFile &a, const SetAsideFile &b) { return order(a.file, b.file); });
    return listing;
}
