#include "cli/bilancommand.h"

#include "classroom/classreport.h"
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


// Reads every log into `report` (and `csv`); a single file's attempts are
// printed as they are read, so that a big shared log needs no memory for
// its rows. Whether every log could be read.
bool readLogs(const ClassSources &sources, ClassReport &report, CsvExport *csv, QIODevice &out, QIODevice &err)
{
    const bool streamed = sources.rows == ReportRows::Attempts;
    bool complete = true;
    qsizetype number = 0;
    // A pupil's attempts are numbered across their logs (a collected copy, then the class folder).
    QHash<QString, int> numbered;
    for (const LogSource &log : sources.logs) {
        const QString pupil = printableName(log.file.pupil);
        int &pupilAttempt = numbered[pupil];
        int attempt = 0;
        const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
            // An empty log is no pupil.
            if (attempt == 0)
                report.beginPupil(pupil);
            report.addAttempt(record);
            ++attempt;
            if (streamed) {
                ++number;
                say(out, (number == 1 ? attemptsHeader() : QString()) + attemptLine(number, record));
            }
            ++pupilAttempt;
            if (csv)
                csv->addAttempt(pupil, pupilAttempt, record);
        }, readRulesFor(log));
        if (!reading.ok) {
            complain(err, QStringLiteral("impossible de lire %1 : %2\n")
                              .arg(printableName(displayPath(log.file.path)), reading.reason));
            complete = false;
        }
        if (attempt > 0)
            report.noteLog(reading.modified, reading.ownerUnverified);
        report.addIgnoredLines(reading.ignoredLines);
    }
    return complete;
}

} // namespace

int runBilan(const QStringList &paths, const QString &csvFile, const LogNaming &naming, QIODevice &out,
             QIODevice &err)
{
    const ClassSources sources = findClassSources(paths, naming);
    for (const QString &ignored : sources.ignored)
        complain(err, QStringLiteral("ignoré : %1\n").arg(ignored));
    if (const QString others = otherIgnoredFiles(sources.ignored.size(), sources.ignoredCount); !others.isEmpty())
        complain(err, others + u'\n');
    for (const QString &problem : sources.problems)
        complain(err, problem + u'\n');
    std::unique_ptr<QFile> csvDevice;
    std::unique_ptr<CsvExport> csv;
    if (!csvFile.isEmpty()) {
        if (!(csvDevice = newCsvFile(csvFile, err)))
            return 1;
        csv = std::make_unique<CsvExport>(*csvDevice);
    }

    ClassReport report(sources.rows);
    if (sources.rows == ReportRows::Attempts)
        say(out, QStringLiteral("Chaque essai dans l'ordre du fichier, qui peut mêler plusieurs élèves :\n"));
    const bool complete = readLogs(sources, report, csv.get(), out, err) && sources.problems.isEmpty();
    say(out, sources.rows == ReportRows::Attempts ? formatIdeas(report) : formatClassReport(report));

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
