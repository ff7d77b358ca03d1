#include "paths/paths.h"

#include <QDir>
#include <QStandardPaths>

#include <windows.h>

std::filesystem::path homeFolder()
{
    return QDir::homePath().toStdWString();
}

// The folder's permissions are inherited from where it is made.
QString makePrivateFolder(const std::filesystem::path &folder)
{
    std::error_code error;
    std::filesystem::create_directory(folder, error);
    return !error && std::filesystem::is_directory(folder, error)
               ? QString()
               : QStringLiteral("impossible de créer le dossier %1").arg(displayPath(folder));
}

QString loginName()
{
    wchar_t name[257];
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 0 ? QString::fromWCharArray(name, int(size) - 1) : QString();
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

// Windows gives paths as UTF-16: nothing to keep.
QString pathText(const QByteArray &bytes)
{
    return QString::fromLocal8Bit(bytes);
}

QString displayPath(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
}
