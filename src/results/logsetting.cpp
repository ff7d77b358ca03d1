#include "results/logsetting.h"

#include "paths/paths.h"
#include "results/logpaths.h"

#include <QDir>

LogLocation resultsLogLocation(const QStringList &sources, const std::filesystem::path &fallback)
{
    const QString key = QStringLiteral("results/log");
    for (const QString &source : sources) {
        const QSettings settings(source, logSettingFormat());
        // A source without the key (a user file holding other settings)
        // leaves the choice to the next one.
        if (!settings.contains(key))
            continue;
        const QString value = settings.value(key).toString();
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

LogLocation resultsLogLocation()
{
    return resultsLogLocation(logSettingSources(), resultsLogPath());
}
