#include "saving/saverecord.h"

#include "paths/paths.h"
#include "saving/pendingrecord.h"

SaveOutcome saveRecord(const RecordDestination &destination, const QByteArray &line,
                       const QString &text, const AskToRetry &askToRetry, const RecordWriters &writers)
{
    SaveOutcome outcome;
    outcome.logName = displayPath(destination.log);
    outcome.rescueName = displayPath(destination.rescueLog);
    const QString notSaved =
        QStringLiteral("morvel2: le résultat n'a pas été enregistré dans %1.\n").arg(outcome.logName);
    const QString rescuedNotice = notSaved
        + QStringLiteral("morvel2: il a été enregistré à la place dans %1 :\n%2\n").arg(outcome.rescueName, text);
    const QString lostNotice = notSaved
        + QStringLiteral("morvel2: il n'a pas pu être enregistré non plus dans %1 ; le voici :\n%2\n")
              .arg(outcome.rescueName, text);
    PendingRecord pending(destination.rescueLog, line.toStdString(), rescuedNotice.toStdString(),
                          lostNotice.toStdString());

    for (;;) {
        AppendOutcome result;
        const auto append = [&] { result = writers.append(destination.log, line); };
        if (pending.write([&] { return writers.run(append), result.ok; })) {
            outcome.place = SaveOutcome::Place::Log;
            return outcome;
        }
        outcome.reason = QString::fromStdString(result.reason);
        outcome.logTouched = result.logTouched;
        outcome.refused = result.refused;
        if (result.logTouched || result.refused || !askToRetry(outcome.logName, outcome.reason))
            break;
    }

    AppendOutcome rescued;
    pending.write([&] { return (rescued = writers.rescue(destination.rescueLog, line)).ok; });
    pending.settle();
    writers.report(rescued.ok ? rescuedNotice : lostNotice);
    outcome.place = rescued.ok ? SaveOutcome::Place::RescueLog : SaveOutcome::Place::Nowhere;
    outcome.rescueReason = QString::fromStdString(rescued.reason);
    return outcome;
}
