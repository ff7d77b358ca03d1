#include "saving/logsetting.h"

#include "paths/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// Read by hand rather than through QSettings, which takes a value with a
// comma (/srv/CM1,CM2/estest.txt) for a list, and would wait forever on a
// FIFO at the file's place.
SettingRead readLogSetting(const QString &source)
{
    const QFileInfo info(source);
    if (!info.exists())
        return {};
    if (!info.isFile())
        return {{}, QStringLiteral("ce n'est pas un fichier ordinaire")};
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, info.isReadable() ? file.errorString() : QStringLiteral("permission refusée")};
    bool inResults = false;
    std::optional<QString> value;
    // A setting file is a few lines; more than this is not one.
    for (const QByteArray &rawLine : file.read(1 << 20).split('\n')) {
        const QString line = pathText(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inResults = line.compare(QLatin1String("[results]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inResults || equals < 0 || line.first(equals).trimmed() != QLatin1String("log"))
            continue;
        QString written = line.sliced(equals + 1).trimmed();
        // A value in double quotes, as QSettings writes one, is taken without them.
        if (written.size() >= 2 && written.startsWith(u'"') && written.endsWith(u'"'))
            written = written.sliced(1, written.size() - 2).replace(QStringLiteral("\\\""), QStringLiteral("\""));
        value = written;
    }
    return {value, {}};
}
