#include "paths/paths.h"

#include <QFile>

#include <pwd.h>
#include <unistd.h>

namespace {

bool isAbsolute(const QByteArray &path)
{
    return path.startsWith('/');
}

} // namespace

std::filesystem::path homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (isAbsolute(home))
        return home.toStdString();
    if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_dir
                                                        && isAbsolute(entry->pw_dir))
        return entry->pw_dir;
    // Nobody says where home is: at least not the root of the file system.
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::filesystem::path("/tmp") : here;
}

QString loginName()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry && entry->pw_name ? QFile::decodeName(entry->pw_name) : QString();
}

std::filesystem::path userDataFolder()
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    return isAbsolute(dataHome) ? std::filesystem::path(dataHome.toStdString())
                                : homeFolder() / ".local/share";
}

std::filesystem::path driveRoot()
{
    return homeFolder();
}

std::filesystem::path driveRootPath(const QString &windowsPath, const std::filesystem::path &root)
{
    const QString drive = QStringLiteral("c:\\");
    QString relative = windowsPath;
    if (relative.startsWith(drive, Qt::CaseInsensitive))
        relative.remove(0, drive.size());
    relative.replace(u'\\', u'/');
    return root / localPath(relative);
}

std::filesystem::path localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString displayPath(const std::filesystem::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}
