#include "adaptations/adaptationsstore.h"

#include "adaptations/adaptationsfile.h"
#include "logfile/teachersfile.h"
#include "paths/paths.h"

#include <QDir>

StoredFile readAdaptationsFile(const std::filesystem::path &folder, const QString &name)
{
    const logfile::TeachersFile read =
        logfile::readTeachersFile(folder, name.toUtf8().toStdString(), std::size_t(maxAdaptationsBytes));
    return {read.ok, read.missing, QByteArray::fromStdString(read.bytes), QString::fromStdString(read.reason)};
}

QStringList pupilsWithFiles(const std::filesystem::path &folder)
{
    QStringList logins;
    const QStringList names = QDir(displayPath(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (const std::optional<QString> login = loginOfPupilFile(name))
            logins.append(*login);
    return logins;
}
