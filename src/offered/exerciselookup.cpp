#include "offered/exerciselookup.h"

#include "exercisefile/exercisefile.h"
#include "logfile/teachersfile.h"
#include "paths/paths.h"
#include "saving/logsetting.h"

#include <QDir>

namespace {

QString firstFault(const QList<ExerciseFault> &faults)
{
    return faults.isEmpty() ? QString() : describeFault(faults.first());
}

// The folder's exercise files by name, read as the pupils' program reads
// an offered one.
void readFolder(const QString &folder, QList<Exercise> &exercises, QStringList &problems)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::NoDotAndDotDot,
                                               QDir::Name);
    if (names.size() > maxFolderExercises) {
        problems.append(QStringLiteral("%1 : plus de %2 fichiers d'exercice, les suivants ne sont pas lus")
                            .arg(printableName(QDir::toNativeSeparators(folder)))
                            .arg(maxFolderExercises));
        names.resize(maxFolderExercises);
    }
    const std::filesystem::path path = localPath(folder);
    for (const QString &name : std::as_const(names)) {
        const logfile::TeachersFile read =
            logfile::readTeachersFile(path, name.toUtf8().toStdString(), std::size_t(maxExerciseFileBytes));
        const QString shown = printableName(name);
        if (!read.ok) {
            problems.append(QStringLiteral("%1 : %2").arg(shown, QString::fromStdString(read.reason)));
            continue;
        }
        const ExerciseRead exercise = parseExerciseFile(QByteArray::fromStdString(read.bytes));
        if (exercise.exercise)
            exercises.append(*exercise.exercise);
        else
            problems.append(QStringLiteral("%1 n'est pas un exercice valable : %2").arg(shown, firstFault(exercise.faults)));
    }
}

} // namespace

ExerciseLookup machineExerciseLookup(const QStringList &files)
{
    return {machineSettingSources(), files};
}

std::shared_ptr<const KnownExercises> loadKnownExercises(const ExerciseLookup &lookup)
{
    QList<Exercise> exercises;
    QStringList problems;
    for (const QString &file : lookup.files) {
        const ExerciseRead exercise = readExerciseFile(localPath(file));
        if (exercise.exercise)
            exercises.append(*exercise.exercise);
        else
            problems.append(QStringLiteral("%1 n'est pas un exercice valable : %2")
                                .arg(printableName(QDir::toNativeSeparators(file)), firstFault(exercise.faults)));
    }
    if (!lookup.settingSources.isEmpty()) {
        const FoundSetting setting = findSetting(lookup.settingSources, QStringLiteral("exercises"), QStringLiteral("folder"));
        if (setting.value && QDir::isAbsolutePath(*setting.value))
            readFolder(*setting.value, exercises, problems);
    }
    return std::make_shared<const KnownExercises>(exercises, problems);
}
