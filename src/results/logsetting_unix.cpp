#include "results/logsetting.h"

#include "paths/paths.h"

#include <QDir>
#include <QFile>

namespace {

QString configFile(const QString &folder)
{
    return folder + QStringLiteral("/morvel2/morvel2.conf");
}

} // namespace

QStringList logSettingSources()
{
    QStringList sources;
    const QString configHome = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    sources.append(configFile(QDir::isAbsolutePath(configHome)
                                  ? configHome
                                  : displayPath(homeFolder()) + QStringLiteral("/.config")));
    QString configDirs = QFile::decodeName(qgetenv("XDG_CONFIG_DIRS"));
    if (configDirs.isEmpty())
        configDirs = QStringLiteral("/etc/xdg");
    for (const QString &folder : configDirs.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(folder))
            sources.append(configFile(folder));
    return sources;
}

QSettings::Format logSettingFormat()
{
    return QSettings::IniFormat;
}
