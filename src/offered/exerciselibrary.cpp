#include "offered/exerciselibrary.h"

#include "logfile/teachersfile.h"
#include "paths/paths.h"

#include <QCollator>
#include <QDir>
#include <QHash>

#include <algorithm>

namespace {

FolderFile readFolderFile(const std::filesystem::path &folder, const QString &name)
{
    const logfile::TeachersFile read =
        logfile::readTeachersFile(folder, name.toUtf8().toStdString(), std::size_t(maxExerciseFileBytes));
    return {read.ok, read.missing, QByteArray::fromStdString(read.bytes), QString::fromStdString(read.reason)};
}

// What one file gives, as the pupils' reading gives it.
LibraryEntry entryOf(const QString &name, const FolderFile &read)
{
    LibraryEntry entry{name, std::nullopt, {}, false};
    if (!read.ok) {
        entry.problem = read.missing ? QStringLiteral("il n'existe pas") : read.reason;
        return entry;
    }
    ExerciseRead exercise = parseExerciseFile(read.bytes);
    if (exercise.exercise)
        entry.exercise = std::move(exercise.exercise);
    else
        entry.problem = describeFaults(exercise.faults).trimmed();
    return entry;
}

} // namespace

QStringList ExerciseLibrary::codes() const
{
    QStringList codes;
    for (const LibraryEntry &entry : entries)
        if (entry.exercise)
            codes.append(entry.exercise->code);
    return codes;
}

QStringList ExerciseLibrary::files() const
{
    QStringList files;
    for (const LibraryEntry &entry : entries)
        files.append(entry.file);
    return files;
}

int ExerciseLibrary::indexOf(const QString &file) const
{
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].file == file)
            return i;
    return -1;
}

ExerciseLibrary libraryFrom(QStringList names, const FolderFile &choice,
                            const std::function<FolderFile(const QString &name)> &readFile)
{
    ExerciseLibrary library;
    QHash<QString, FolderFile> reads;
    const auto read = [&](const QString &name) {
        if (!reads.contains(name))
            reads.insert(name, readFile(name));
        return reads.value(name);
    };
    // The pupils' offer, from the same readings: its problems are theirs.
    const Offer offer = offerFrom(choice, read);
    library.problem = offer.problem;
    for (const OfferedFile &file : offer.files) {
        library.offered.append(file.file);
        if (!names.contains(file.file))
            names.append(file.file);
    }
    QCollator order{QLocale(QLocale::French)};
    order.setNumericMode(true);
    std::sort(names.begin(), names.end(), order);
    if (names.size() > maxLibraryFiles) {
        library.leftOut = int(names.size()) - maxLibraryFiles;
        names.resize(maxLibraryFiles);
    }
    QHash<QString, QString> fileOfCode;
    for (const QString &name : std::as_const(names)) {
        LibraryEntry entry = entryOf(name, read(name));
        entry.offered = library.offered.contains(name);
        for (const OfferedFile &file : offer.files)
            if (file.file == name && !file.problem.isEmpty())
                entry.problem = file.problem;
        if (entry.exercise && entry.problem.isEmpty()) {
            const QString other = fileOfCode.value(entry.exercise->code);
            if (!other.isEmpty())
                entry.problem = QStringLiteral("le code %1 est déjà celui de %2").arg(entry.exercise->code, other);
            else
                fileOfCode.insert(entry.exercise->code, name);
        }
        library.entries.append(entry);
    }
    return library;
}

ExerciseLibrary readExerciseLibrary(const std::filesystem::path &folder)
{
    const QDir dir(displayPath(folder));
    if (!dir.exists()) {
        ExerciseLibrary library;
        library.problem = QStringLiteral("le dossier des exercices n'existe pas");
        return library;
    }
    // Hidden files are not exercises, as the choice file says too.
    QStringList names = dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::System, QDir::Name);
    return libraryFrom(names, readFolderFile(folder, QString::fromLatin1(choiceFileName)),
                       [&folder](const QString &name) { return readFolderFile(folder, name); });
}
