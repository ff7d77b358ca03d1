#include "classroom/collectclass.h"

#include "classroom/files.h"
#include "classroom/logreader.h"
#include "classroom/wording.h"
#include "logfile/logfile.h"
#include "paths/paths.h"

#include <algorithm>

CollectScope collectScopeFor(const LogLocation &log)
{
    if (log.pupilLogs)
        return CollectScope::WholeClass;
    return log.perPupil ? CollectScope::NotCollectable : CollectScope::OneLog;
}

namespace {

// Collects one pupil's log; what went wrong, in French, or nothing.
std::optional<QString> collectPupil(const PupilLogFile &log, const std::filesystem::path &destination,
                                    ClassCollectOutcome &outcome)
{
    const std::filesystem::path target = destination / log.path.filename();
    logfile::CollectRules rules;
    rules.expectedOwner = ownerName(log.pupil);
    RecordTally tally;
    rules.observe = [&tally](const char *bytes, std::size_t size) { tally.add(QByteArrayView(bytes, qsizetype(size))); };
    const logfile::CollectOutcome collected = logfile::collectLog(log.path, target, std::chrono::seconds(10), rules);
    const QString shown = printableName(displayPath(log.path));
    const QString reason = printableName(QString::fromStdString(collected.reason));
    if (!collected.ok && collected.destinationAtFault)
        return QStringLiteral("impossible d'écrire %1 : %2 ; %3 reste en place")
            .arg(printableName(displayPath(target)), reason, shown);
    if (!collected.ok)
        return QStringLiteral("%1 : %2 ; laissé en place").arg(shown, reason);
    if (!collected.noLog) {
        if (collected.ownerUnverified)
            outcome.ownerUnverified.append(shown);
        ++outcome.pupils;
        outcome.records += int(tally.finish()); // as --bilan counts them
    }
    return std::nullopt;
}

} // namespace

ClassCollectOutcome collectClass(const PupilLogs &logs, const std::filesystem::path &destination,
                                 const std::function<bool(qint64, qint64)> &progress)
{
    ClassCollectOutcome outcome;
    const ClassFolderListing listing = listClassFolder(logs.folder, {logs.prefix, logs.suffix});
    if (!listing.failure.isEmpty()) {
        outcome.failure = QStringLiteral("impossible de lire le dossier de la classe %1")
                              .arg(printableName(displayPath(logs.folder)));
        return outcome;
    }
    if (const QString made = makePrivateFolder(destination); !made.isEmpty()) {
        outcome.failure = made;
        return outcome;
    }
    outcome.ignored = listing.ignored;
    outcome.ignoredCount = listing.ignoredCount;
    for (const SetAsideFile &setAside : listing.setAside)
        outcome.leftAlone.append(QStringLiteral("%1 : %2 ; laissé en place").arg(setAside.file, setAside.reason));
    for (qsizetype i = 0; i < listing.logs.size(); ++i) {
        if (progress && !progress(i, listing.logs.size())) {
            outcome.stopped = true;
            outcome.notReached = int(listing.logs.size() - i);
            break;
        }
        if (const std::optional<QString> left = collectPupil(listing.logs.at(i), destination, outcome))
            outcome.leftAlone.append(*left);
    }
    // In the folder's order, as a teacher looks for a name.
    std::sort(outcome.leftAlone.begin(), outcome.leftAlone.end(), frenchOrder());
    std::sort(outcome.ownerUnverified.begin(), outcome.ownerUnverified.end(), frenchOrder());
    return outcome;
}
