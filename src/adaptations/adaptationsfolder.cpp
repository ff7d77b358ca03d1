#include "adaptations/adaptationsfolder.h"

#include "paths/paths.h"
#include "saving/logsetting.h"

#include <QDir>

AdaptationsFolder adaptationsFolder()
{
    return adaptationsFolder(machineSettingSources());
}

AdaptationsFolder adaptationsFolder(const QStringList &sources)
{
    const FoundSetting setting = findSetting(sources, QStringLiteral("adaptations"), QStringLiteral("folder"));
    AdaptationsFolder found;
    if (!setting.problem.isEmpty()) {
        found.problem = QStringLiteral("le réglage des adaptations ne peut pas être lu : %1").arg(setting.problem);
    } else if (setting.value && !setting.value->isEmpty()) {
        if (!QDir::isAbsolutePath(*setting.value)) {
            found.problem = QStringLiteral("le dossier des adaptations doit être un chemin complet : « %1 » (%2)")
                                .arg(*setting.value, setting.source);
        } else {
            found.folder = localPath(*setting.value);
            found.shown = displayPath(*found.folder);
        }
    }
    return found;
}

EntryRead readEntry(const ReadAdaptations &read, const QString &name)
{
    EntryRead result;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const StoredFile file = read(name);
        if (!file.ok) {
            result.missing = file.missing;
            result.problem = file.missing ? QStringLiteral("il n'existe pas") : file.reason;
            return result;
        }
        const ParsedAdaptations parsed = parseAdaptations(file.bytes);
        result.entry = parsed.entry;
        result.problem = parsed.fault;
        if (!parsed.mixed)
            break;
    }
    return result;
}

ReadingSettings pupilReading(const ReadAdaptations &read, const QString &login)
{
    if (loginFault(login).isEmpty()) {
        const EntryRead own = readEntry(read, pupilAdaptationsName(login));
        if (own.entry && !own.entry->followsClass)
            return own.entry->settings;
    }
    const EntryRead ofClass = readEntry(read, QString::fromLatin1(classAdaptationsName));
    // A class's file cannot follow itself: that is a fault, the design's page.
    return ofClass.entry && !ofClass.entry->followsClass ? ofClass.entry->settings : ReadingSettings{};
}

ReadingSettings thisPupilsReading()
{
    const AdaptationsFolder found = adaptationsFolder();
    if (!found.folder)
        return {};
    const std::filesystem::path folder = *found.folder;
    return pupilReading([&folder](const QString &name) { return readAdaptationsFile(folder, name); }, loginName());
}
