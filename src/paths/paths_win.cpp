#include "paths/paths.h"

#include <QDir>
#include <QStandardPaths>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

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

QString deploymentGuide()
{
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), DWORD(program.size())));
    program.resize(program.find_last_of(L'\\') + 1);
    return QString::fromStdWString(program) + QStringLiteral("deployment.txt");
}

// %APPDATA%, the roaming one: a record rescued on one school machine
// follows the pupil's profile to the next. Qt's data location is the local
// one, kept as a fallback for a profile without it.
std::filesystem::path userDataFolder()
{
    wchar_t *folder = nullptr;
    std::filesystem::path found;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK)
        found = folder;
    CoTaskMemFree(folder);
    if (!found.empty())
        return found;
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
