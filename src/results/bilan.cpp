#include "results/bilan.h"

#include "paths/paths.h"
#include "results/classreport.h"
#include "results/csvexport.h"
#include "results/logreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

void say(QIODevice &stream, const QString &text)
{
    stream.write(text.toUtf8());
}

// Why a path cannot be read, in French: the system's own words may be in
// another language.
QString unreadable(const QFileInfo &path)
{
    if (!path.exists())
        return QStringLiteral("il n'existe pas");
    if (!path.isReadable())
        return QStringLiteral("permission refusée");
    return path.isDir() ? QStringLiteral("le dossier ne peut pas être lu")
                        : QStringLiteral("le fichier ne peut pas être lu");
}

struct PupilLog
{
    QString name;
    QString path;
};

} // namespace

int runBilan(const QStringList &paths, const QString &csvFile, QIODevice &out, QIODevice &err)
{
    int status = 0;
    const auto cannotRead = [&](const QString &path, const QString &reason) {
        say(err, QStringLiteral("morvel2 : impossible de lire %1 : %2\n")
                     .arg(printableName(QDir::toNativeSeparators(path)), reason));
        status = 1;
    };

    QList<PupilLog> logs;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            QDir folder(path);
            if (!info.isReadable() || !folder.exists()) {
                cannotRead(path, unreadable(info));
                continue;
            }
            // Every *.txt, so that none is left out in silence: a pupil may
            // have put a link (to /dev/zero...) or a FIFO in the folder.
            QFileInfoList files = folder.entryInfoList({QStringLiteral("*.txt")},
                                                       QDir::AllEntries | QDir::Hidden | QDir::System
                                                           | QDir::NoDotAndDotDot);
            files.removeIf([&](const QFileInfo &file) {
                QString why;
                if (file.isSymLink())
                    why = QStringLiteral("c'est un lien symbolique");
                else if (file.isDir())
                    return true; // a folder that happens to end in .txt holds no records
                else if (!file.isFile())
                    why = QStringLiteral("ce n'est pas un fichier ordinaire");
                else if (!file.isReadable())
                    why = unreadable(file);
                if (!why.isEmpty())
                    cannotRead(file.filePath(), why);
                return !why.isEmpty();
            });
            // As a teacher reads a class list, so that the spreadsheet's rows follow it.
            const QCollator order = frenchOrder();
            std::stable_sort(files.begin(), files.end(), [&order](const QFileInfo &a, const QFileInfo &b) {
                return order(a.completeBaseName(), b.completeBaseName());
            });
            for (const QFileInfo &file : std::as_const(files))
                logs.append({printableName(file.completeBaseName()), file.filePath()});
        } else if (info.isFile() && info.isReadable()) {
            logs.append({printableName(info.completeBaseName()), info.filePath()});
        } else {
            cannotRead(path, unreadable(info));
        }
    }

    std::unique_ptr<QFile> csvDevice;
    std::unique_ptr<CsvExport> csv;
    if (!csvFile.isEmpty()) {
        csvDevice = std::make_unique<QFile>(csvFile);
        if (QFileInfo::exists(csvFile) || QFileInfo(csvFile).isSymLink()) {
            say(err, QStringLiteral("morvel2 : %1 existe déjà ; rien n'a été écrit.\n")
                         .arg(QDir::toNativeSeparators(csvFile)));
            return 1;
        }
        if (!csvDevice->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            say(err, QStringLiteral("morvel2 : impossible d'écrire %1 : %2\n")
                         .arg(QDir::toNativeSeparators(csvFile), csvDevice->errorString()));
            return 1;
        }
        csv = std::make_unique<CsvExport>(*csvDevice);
    }

    ClassReport report;
    for (const PupilLog &log : std::as_const(logs)) {
        report.beginPupil(log.name);
        int attempt = 0;
        const LogReading reading = readLog(log.path, [&](const ReadRecord &record) {
            report.addAttempt(record);
            if (csv)
                csv->addAttempt(log.name, ++attempt, record);
        });
        if (!reading.ok)
            cannotRead(log.path, QStringLiteral("le fichier ne peut pas être lu"));
        report.addIgnoredLines(reading.ignoredLines);
    }
    say(out, formatClassReport(report));

    if (csv) {
        if (!csv->ok() || !csvDevice->flush()) {
            say(err, QStringLiteral("morvel2 : impossible d'écrire %1 : %2\n")
                         .arg(QDir::toNativeSeparators(csvFile), csvDevice->errorString()));
            csvDevice->remove();
            return 1;
        }
        say(out, QStringLiteral("Tableau pour tableur écrit dans %1.\n").arg(QDir::toNativeSeparators(csvFile)));
    }
    return status;
}
