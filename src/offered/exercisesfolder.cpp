#include "offered/exercisesfolder.h"

#include "logfile/teachersfile.h"
#include "paths/paths.h"
#include "saving/logsetting.h"

#include <QDir>

namespace {

FolderFile readFolderFile(const std::filesystem::path &folder, const QString &name)
{
    const logfile::TeachersFile read =
        logfile::readTeachersFile(folder, name.toUtf8().toStdString(), std::size_t(maxExerciseFileBytes));
    return {read.ok, read.missing, QByteArray::fromStdString(read.bytes), QString::fromStdString(read.reason)};
}

} // namespace

Offer offeredExercises()
{
    return offeredExercises(machineSettingSources());
}

Offer offeredExercises(const QStringList &sources)
{
    const FoundSetting setting = findSetting(sources, QStringLiteral("exercises"), QStringLiteral("folder"));
    Offer offer;
    if (!setting.problem.isEmpty()) {
        offer.problem = QStringLiteral("le réglage des exercices ne peut pas être lu : %1").arg(setting.problem);
        return offer;
    }
    if (!setting.value || setting.value->isEmpty())
        return offer;
    if (!QDir::isAbsolutePath(*setting.value)) {
        offer.problem = QStringLiteral("le dossier des exercices doit être un chemin complet : « %1 » (%2)")
                            .arg(*setting.value, setting.source);
        return offer;
    }
    const std::filesystem::path folder = localPath(*setting.value);
    const Offer read = offerFrom(readFolderFile(folder, QString::fromLatin1(choiceFileName)),
                                 [&folder](const QString &name) { return readFolderFile(folder, name); });
    offer.problem = read.problem;
    offer.files = read.files;
    offer.folder = displayPath(folder);
    return offer;
}
