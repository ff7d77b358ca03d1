#include "paths/paths.h"

#include <QDir>
#include <QStandardPaths>

std::filesystem::path homeFolder()
{
    return QDir::homePath().toStdWString();
}

std::filesystem::path userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdWString();
}

std::filesystem::path driveRoot()
{
    return L"c:\\";
}

std::filesystem::path driveRootPath(const QString &windowsPath, const std::filesystem::path &root)
{
    const QString drive = QStringLiteral("c:\\");
    if (!windowsPath.startsWith(drive, Qt::CaseInsensitive))
        return windowsPath.toStdWString();
    return root / windowsPath.mid(drive.size()).toStdWString();
}

std::filesystem::path localPath(const QString &path)
{
    return path.toStdWString();
}

QString displayPath(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
}
