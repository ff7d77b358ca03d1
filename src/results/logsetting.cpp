#include "results/logsetting.h"

#include "results/logpaths.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <memory>

namespace {

const QString key = QStringLiteral("results/log");

#ifndef Q_OS_WIN
QString configFile(const QString &folder)
{
    return folder + QStringLiteral("/morvel2/morvel2.conf");
}
#endif

std::unique_ptr<QSettings> openSource(const QString &source)
{
#ifdef Q_OS_WIN
    const bool machine = source.startsWith(QLatin1String("\\HKEY_LOCAL_MACHINE"));
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat,
                                                machine ? QSettings::SystemScope : QSettings::UserScope,
                                                QStringLiteral("morvel2"), QStringLiteral("morvel2"));
    settings->setFallbacksEnabled(false);
    return settings;
#else
    return std::make_unique<QSettings>(source, QSettings::IniFormat);
#endif
}

// Where the setting is looked for, the first that has it winning.
QStringList settingsSources()
{
#ifdef Q_OS_WIN
    return {QStringLiteral("\\HKEY_CURRENT_USER\\Software\\morvel2\\morvel2"),
            QStringLiteral("\\HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2")};
#else
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
#endif
}

} // namespace

LogLocation resultsLogLocation()
{
    const std::filesystem::path fallback = resultsLogPath();
    for (const QString &source : settingsSources()) {
#ifndef Q_OS_WIN
        if (!QFile::exists(source))
            continue;
#endif
        const std::unique_ptr<QSettings> settings = openSource(source);
        if (!settings->contains(key))
            continue;
        const QString value = settings->value(key).toString();
        if (!QDir::isAbsolutePath(value)) {
            return {fallback,
                    QStringLiteral("Le réglage « log » du groupe [results] dans %1 n'est pas un "
                                   "chemin complet : « %2 ».\nLes résultats sont enregistrés dans %3.")
                        .arg(QDir::toNativeSeparators(source), value, displayPath(fallback))};
        }
        return {localPath(value), {}};
    }
    return {fallback, {}};
}
