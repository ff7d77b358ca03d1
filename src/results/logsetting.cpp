#include "results/logsetting.h"

#include "paths/paths.h"
#include "results/logpaths.h"

#include <QDir>
#include <QFileInfo>

LogLocation resultsLogLocation(const QStringList &sources, const std::filesystem::path &fallback)
{
    const auto unusable = [&fallback](const QString &source, const QString &why) {
        return LogLocation{fallback, QStringLiteral("Le réglage « log » du groupe [results] dans %1 %2.\n"
                                                    "Les résultats sont enregistrés dans %3.")
                                         .arg(QDir::toNativeSeparators(source), why, displayPath(fallback))};
    };
    for (const QString &source : sources) {
        const SettingRead read = readLogSetting(source);
        // A source that cannot be read might have held the class's setting:
        // the technician must hear of it rather than find the records in
        // every pupil's home folder.
        if (!read.problem.isEmpty())
            return unusable(source, QStringLiteral("ne peut pas être lu : %1").arg(read.problem));
        // A source without the key (a user file holding other settings)
        // leaves the choice to the next one.
        if (!read.value)
            continue;
        const QString value = *read.value;
        if (!QDir::isAbsolutePath(value))
            return unusable(source, QStringLiteral("n'est pas un chemin complet : « %1 »").arg(value));
        // Said now rather than only after the exercise, when the record
        // cannot be written; the setting is kept, as a share may come later.
        const QFileInfo log(value);
        QString warning;
        if (log.isDir())
            warning = QStringLiteral("Le réglage « log » du groupe [results] dans %1 nomme un dossier : « %2 ».");
        else if (!log.dir().exists())
            warning = QStringLiteral("Le réglage « log » du groupe [results] dans %1 nomme un fichier dans un dossier "
                                     "qui n'existe pas : « %2 ».");
        if (!warning.isEmpty())
            warning = warning.arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(value));
        return {localPath(value), warning};
    }
    return {fallback, {}};
}

LogLocation resultsLogLocation()
{
    return resultsLogLocation(logSettingSources(), resultsLogPath());
}
