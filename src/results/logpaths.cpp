#include "results/logpaths.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

#ifndef Q_OS_WIN
bool isAbsolute(const QByteArray &path)
{
    return path.startsWith('/');
}
#endif

} // namespace

std::filesystem::path homeFolder()
{
#ifdef Q_OS_WIN
    return QDir::homePath().toStdWString();
#else
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
#endif
}

std::filesystem::path driveRootPath(const QString &windowsPath)
{
#ifdef Q_OS_WIN
    return windowsPath.toStdWString();
#else
    const QString driveRoot = QStringLiteral("c:\\");
    QString relative = windowsPath;
    if (relative.startsWith(driveRoot, Qt::CaseInsensitive))
        relative.remove(0, driveRoot.size());
    relative.replace(u'\\', u'/');
    return homeFolder() / localPath(relative);
#endif
}

std::filesystem::path resultsLogPath()
{
    return driveRootPath(QStringLiteral("c:\\estest.txt"));
}

std::filesystem::path rescueLogPath()
{
    // The generic data folder plus a fixed folder name, rather than the
    // per-application one, so the place does not depend on how the
    // application object was named.
#ifdef Q_OS_WIN
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return (data + QStringLiteral("/morvel2/estest.txt")).toStdWString();
#else
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const std::filesystem::path data = isAbsolute(dataHome)
                                           ? std::filesystem::path(dataHome.toStdString())
                                           : homeFolder() / ".local/share";
    return data / "morvel2/estest.txt";
#endif
}

std::filesystem::path localPath(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toStdWString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString displayPath(const std::filesystem::path &path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QString::fromStdWString(path.native()));
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}
