#include "cli/bilancommand.h"

#include "classroom/classreport.h"
#include "classroom/csvexport.h"
#include "classroom/logreader.h"
#include "classroom/texttable.h"
#include "cli/say.h"
#include "paths/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

struct LogToRead
{
    PupilLogFile file;
    bool named = false; // by the teacher, on the command line
};

struct ClassLogs
{
    QList<LogToRead> logs;
    bool complete = true; // every path read, nothing set aside
};

// A file named on the command line is read as the teacher named it,
// through a link too; its pupil is what the naming rule says, or its name.
PupilLogFile namedFile(const QString &path, const LogNaming &naming)
{
    const std::filesystem::path local = localPath(path);
    const QString name = displayPath(local.filename());
    return {local, naming.pupilOf(name).value_or(QFileInfo(name).completeBaseName())};
}

ClassLogs gatherLogs(const QStringList &paths, const LogNaming &naming, QIODevice &err)
{
    ClassLogs gathered;
    const auto cannotRead = [&](const QString &what, const QString &reason) {
        complain(err, QStringLiteral("impossible de lire %1 : %2\n").arg(what, reason));
        gathered.complete = false;
    };
    for (const QString &path : paths) {
        const QString shown = printableName(QDir::toNativeSeparators(path));
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(localPath(path), error);
        if (!std::filesystem::is_directory(status)) {
            gathered.logs.append({namedFile(path, naming), true});
            continue;
        }
        const ClassFolderListing listing = listClassFolder(localPath(path), naming);
        if (!listing.failure.isEmpty())
            cannotRead(shown, QStringLiteral("le dossier ne peut pas être lu"));
        for (const QString &ignored : listing.ignored)
            complain(err, QStringLiteral("ignoré : %1\n").arg(ignored));
        for (const SetAsideFile &setAside : listing.setAside)
            cannotRead(setAside.file, setAside.reason);
        for (const PupilLogFile &log : listing.logs)
            gathered.logs.append({log, false});
    }
    return gathered;
}

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

} // namespace

int runBilan(const QStringList &paths, const QString &csvFile, const LogNaming &naming, QIODevice &out,
             QIODevice &err)
{
    ClassLogs gathered = gatherLogs(paths, naming, err);
    std::unique_ptr<QFile> csvDevice;
    std::unique_ptr<CsvExport> csv;
    if (!csvFile.isEmpty()) {
        if (!(csvDevice = newCsvFile(csvFile, err)))
            return 1;
        csv = std::make_unique<CsvExport>(*csvDevice);
    }

    ClassReport report;
    for (const LogToRead &log : std::as_const(gathered.logs)) {
        const QString pupil = printableName(log.file.pupil);
        int attempt = 0;
        ReadRules rules;
        rules.followLink = log.named;
#ifndef Q_OS_WIN
        // A log found in a class folder must be its pupil's, or the reader's.
        if (!log.named)
            rules.expectedOwner = localPath(log.file.pupil).native();
#endif
        const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
            // An empty log is no pupil.
            if (attempt == 0)
                report.beginPupil(pupil);
            report.addAttempt(record);
            ++attempt;
            if (csv)
                csv->addAttempt(pupil, attempt, record);
        }, rules);
        if (!reading.ok) {
            complain(err, QStringLiteral("impossible de lire %1 : %2\n")
                              .arg(printableName(displayPath(log.file.path)), reading.reason));
            gathered.complete = false;
        }
        report.addIgnoredLines(reading.ignoredLines);
    }
    say(out, formatClassReport(report));

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
    return gathered.complete ? 0 : 1;
}
