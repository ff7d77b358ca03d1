#include "saving/logsetting.h"

#include "logfile/reasons.h"
#include "paths/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

namespace {

QString configFile(const QString &folder)
{
    return folder + QStringLiteral("/morvel2/morvel2.conf");
}

// Root's, and nobody else may change it; true too for what is not there.
bool rootsAlone(const QString &path)
{
    struct stat status{};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT;
    return status.st_uid == 0 && !S_ISLNK(status.st_mode) && !(status.st_mode & (S_IWGRP | S_IWOTH));
}

// A folder of settings counts as the machine's only where the pupil could
// not have made it: XDG_CONFIG_DIRS is the session's to set, so a folder it
// names may be anybody's.
bool machinesFolder(const QString &folder)
{
    struct stat status{};
    return ::stat(QFile::encodeName(folder).constData(), &status) == 0 && rootsAlone(folder)
           && rootsAlone(folder + QStringLiteral("/morvel2")) && rootsAlone(configFile(folder));
}

} // namespace

namespace {

// The machine's setting files, then the user's.
std::pair<QStringList, QStringList> settingFiles()
{
    QStringList machine;
    QStringList user;
    const QString configHome = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    user.append(configFile(QDir::isAbsolutePath(configHome) ? configHome
                                                            : displayPath(homeFolder()) + QStringLiteral("/.config")));
    const QString systemFolder = QStringLiteral("/etc/xdg");
    QStringList configDirs = QFile::decodeName(qgetenv("XDG_CONFIG_DIRS")).split(u':', Qt::SkipEmptyParts);
    // The technician's folder is read whatever the session says.
    if (!configDirs.contains(systemFolder))
        configDirs.append(systemFolder);
    for (const QString &folder : std::as_const(configDirs))
        if (QDir::isAbsolutePath(folder))
            (machinesFolder(folder) ? machine : user).append(configFile(folder));
    return {machine, user};
}

} // namespace

QStringList logSettingSources()
{
    const auto [machine, user] = settingFiles();
    // The machine's setting wins: a pupil's own counts only where it sets none.
    return machine + user;
}

QStringList machineSettingSources()
{
    return settingFiles().first;
}

QString settingName(const QString &source)
{
    return QStringLiteral("le réglage « log » du groupe [results] dans %1").arg(source);
}

QString settingPlace(const QString &source)
{
    return source;
}

// Read by hand rather than through QSettings, which takes a value with a
// comma (/srv/CM1,CM2/estest.txt) for a list, and would wait forever on a
// FIFO at the file's place.
SettingRead readLogSetting(const QString &source)
{
    return readSetting(source, QStringLiteral("results"), QStringLiteral("log"));
}

SettingRead readSetting(const QString &source, const QString &group, const QString &key)
{
    const QFileInfo info(source);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return {{}, QString::fromUtf8(logfile::reasons::notAFile)};
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, info.isReadable() ? file.errorString() : QString::fromUtf8(logfile::reasons::permissionDenied)};
    bool inGroup = false;
    std::optional<QString> value;
    // A setting file is a few lines; more than this is not one.
    for (const QByteArray &rawLine : file.read(1 << 20).split('\n')) {
        const QString line = pathText(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line.compare(u'[' + group + u']', Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals < 0 || line.first(equals).trimmed() != key)
            continue;
        QString written = line.sliced(equals + 1).trimmed();
        // A value in double quotes, as QSettings writes one, is taken without them.
        if (written.size() >= 2 && written.startsWith(u'"') && written.endsWith(u'"'))
            written = written.sliced(1, written.size() - 2).replace(QStringLiteral("\\\""), QStringLiteral("\""));
        value = written;
    }
    return {value, {}};
}
