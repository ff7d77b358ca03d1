#include "cli/bilancommand.h"

#include "classroom/classresults.h"
#include "classroom/classsources.h"
#include "classroom/csvexport.h"
#include "classroom/logreader.h"
#include "classroom/texttable.h"
#include "cli/say.h"
#include "paths/paths.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <memory>

namespace {

// The spreadsheet's file, new and the teacher's alone; nothing, said on
// `err`, when it cannot be.
std::unique_ptr<QFile> newCsvFile(const QString &csvFile, QIODevice &err)
{
    const QString shown = printableName(QDir::toNativeSeparators(csvFile));
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(localPath(csvFile), error))) {
        complain(err, QStringLiteral("%1 existe déjà ; rien n'a été écrit.\n").arg(shown));
        return nullptr;
    }
    QString reason;
    const int fd = createNewFile(localPath(csvFile), reason);
    auto device = std::make_unique<QFile>();
    if (fd < 0 || !device->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        complain(err, QStringLiteral("impossible d'écrire %1 : %2\n").arg(shown, reason));
        return nullptr;
    }
    return device;
}


// Reads every log into `results` (and `csv`). Whether every log could be read.
bool readLogs(const ClassSources &sources, ClassResults &results, CsvExport *csv, QIODevice &err)
{
    bool complete = true;
    AttemptNumbers numbers;
    for (const LogSource &log : sources.logs) {
        const QString pupil = printableName(log.file.pupil);
        bool begun = false;
        const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
            // An empty log is no pupil.
            if (!begun)
                results.beginPupil(pupil);
            begun = true;
            results.addAttempt(record);
            if (csv)
                csv->addAttempt(pupil, numbers.next(pupil, record), record);
        }, readRulesFor(log), {}, results.known());
        if (!reading.ok) {
            complain(err, QStringLiteral("impossible de lire %1 : %2\n")
                              .arg(printableName(displayPath(log.file.path)), reading.reason));
            complete = false;
        }
        if (begun)
            results.noteLog(reading.modified, reading.ownerUnverified);
        results.addIgnoredLines(reading.ignoredLines);
    }
    return complete;
}

} // namespace

int runBilan(const QStringList &paths, const QString &csvFile, const LogNaming &naming, QIODevice &out,
             QIODevice &err, const ExerciseLookup &exercises)
{
    const ClassSources sources = findClassSources(paths, naming);
    for (const QString &ignored : sources.ignored)
        complain(err, QStringLiteral("ignoré : %1\n").arg(ignored));
    if (const QString others = otherIgnoredFiles(sources.ignored.size(), sources.ignoredCount); !others.isEmpty())
        complain(err, others + u'\n');
    for (const QString &problem : sources.problems)
        complain(err, problem + u'\n');
    ClassResults results(sources.rows, false, loadKnownExercises(exercises));
    for (const QString &problem : results.known()->problems())
        complain(err, QStringLiteral("exercice laissé de côté : %1\n").arg(problem));
    std::unique_ptr<QFile> csvDevice;
    std::unique_ptr<CsvExport> csv;
    if (!csvFile.isEmpty()) {
        if (!(csvDevice = newCsvFile(csvFile, err)))
            return 1;
        csv = std::make_unique<CsvExport>(*csvDevice, results.known());
    }

    const bool complete = readLogs(sources, results, csv.get(), err) && sources.problems.isEmpty();
    printClassResults(results, [&out](const QString &text) { say(out, text); });

    if (csv) {
        const QString shown = printableName(QDir::toNativeSeparators(csvFile));
        if (!csv->ok() || !csvDevice->flush()) {
            complain(err, QStringLiteral("impossible d'écrire %1 : %2\n").arg(shown, csvDevice->errorString()));
            csvDevice->close();
            std::error_code ignored;
            std::filesystem::remove(localPath(csvFile), ignored);
            return 1;
        }
        say(out, QStringLiteral("Tableau pour tableur écrit dans %1.\n").arg(shown));
    }
    return complete ? 0 : 1;
}
