#include "classroom/classexport.h"

#include "classroom/csvexport.h"
#include "classroom/logreader.h"
#include "paths/paths.h"

#include <QCoreApplication>
#include <QFile>

QString exportClassCsv(const ClassSources &sources, const std::filesystem::path &target)
{
    std::filesystem::path partial = target;
    partial += QStringLiteral(".%1.partiel").arg(QCoreApplication::applicationPid()).toStdString();
    QString reason;
    const int fd = createNewFile(partial, reason);
    QFile device;
    if (fd < 0 || !device.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        return reason.isEmpty() ? QStringLiteral("le fichier ne peut pas être créé") : reason;
    CsvExport csv(device);
    for (const LogSource &log : sources.logs) {
        int attempt = 0;
        readLog(log.file.path, [&](const ReadRecord &record) {
            csv.addAttempt(printableName(log.file.pupil), ++attempt, record);
        }, readRulesFor(log));
    }
    const bool written = csv.ok() && device.flush();
    const QString error = device.errorString();
    device.close();
    std::error_code failure;
    if (written)
        std::filesystem::rename(partial, target, failure);
    if (!written || failure) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return written ? QString::fromStdString(failure.message()) : error;
    }
    return {};
}
