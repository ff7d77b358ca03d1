#include "classroom/classexport.h"

#include "classroom/csvexport.h"
#include "classroom/logreader.h"
#include "classroom/moodleexport.h"
#include "paths/paths.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

namespace {

// `write` fills a new file beside `target`, which then replaces `target`;
// false from it means stopped.
ExportOutcome writeThenReplace(const std::filesystem::path &target, const std::function<bool(QIODevice &)> &write)
{
    std::filesystem::path partial = target;
    partial += QStringLiteral(".%1.partiel").arg(QCoreApplication::applicationPid()).toStdString();
    ExportOutcome outcome;
    QString reason;
    const int fd = createNewFile(partial, reason);
    QFile device;
    if (fd < 0 || !device.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        outcome.failure = reason.isEmpty() ? QStringLiteral("le fichier ne peut pas être créé") : reason;
        return outcome;
    }
    const bool complete = write(device);
    const bool written = complete && device.flush() && device.error() == QFileDevice::NoError;
    const QString error = device.errorString();
    device.close();
    std::error_code failure;
    if (written)
        std::filesystem::rename(partial, target, failure);
    if (!written || failure) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        outcome.stopped = !complete && device.error() == QFileDevice::NoError;
        if (!outcome.stopped)
            outcome.failure = written ? QString::fromStdString(failure.message()) : error;
    }
    return outcome;
}

qint64 sizeOf(const std::filesystem::path &path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : qint64(size);
}

} // namespace

ExportOutcome exportClassCsv(const ClassSources &sources, const std::filesystem::path &target,
                             const ExportProgress &progress, std::shared_ptr<const KnownExercises> known,
                             const std::optional<ExerciseKey> &only)
{
    qint64 total = 0;
    for (const LogSource &log : sources.logs)
        total += sizeOf(log.file.path);
    QStringList unread;
    ExportOutcome outcome = writeThenReplace(target, [&](QIODevice &device) {
        CsvExport csv(device, known);
        AttemptNumbers attempts;
        qint64 done = 0;
        bool going = !progress || progress(0, total);
        for (qsizetype i = 0; going && csv.ok() && i < sources.logs.size(); ++i) {
            const LogSource &log = sources.logs.at(i);
            ReadSpan span;
            if (progress)
                span.progress = [&](qint64 bytes) { return going = progress(done + bytes, total); };
            const QString pupil = printableName(log.file.pupil);
            const LogReading reading = readLog(log.file.path, [&](const ReadRecord &record) {
                if (!only || keyOf(record) == *only)
                    csv.addAttempt(pupil, attempts.next(pupil, record), record);
            }, readRulesFor(log), span, known);
            if (!reading.ok)
                unread.append(QStringLiteral("impossible de lire %1 : %2")
                                  .arg(printableName(displayPath(log.file.path)), reading.reason));
            going = going && !reading.stopped;
            done += std::max(reading.mark.end, reading.mark.stamp.size);
        }
        return going && csv.ok();
    });
    outcome.unread = unread;
    return outcome;
}

ExportOutcome exportClassTable(const ClassReport &report, const QList<qsizetype> &order,
                               const std::filesystem::path &target, const ExportProgress &progress)
{
    return writeThenReplace(target, [&](QIODevice &device) {
        return writeClassTableCsv(device, report, order, progress);
    });
}

ExportOutcome exportMoodle(const ClassResults &results, const std::filesystem::path &target)
{
    return writeThenReplace(target, [&](QIODevice &device) { return writeMoodleCsv(device, results); });
}
