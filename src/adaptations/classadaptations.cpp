#include "adaptations/classadaptations.h"

#include "classroom/wording.h"

#include <algorithm>

ReadingSettings ClassAdaptations::settingsOf(const QString &login) const
{
    return hasOwn(login) ? pupils.value(login).entry->settings : ofClass;
}

bool ClassAdaptations::hasOwn(const QString &login) const
{
    const PupilAdaptations pupil = pupils.value(login);
    return pupil.entry && !pupil.entry->followsClass;
}

QStringList ClassAdaptations::adapted() const
{
    QStringList logins;
    for (auto it = pupils.cbegin(); it != pupils.cend(); ++it)
        if (hasOwn(it.key()))
            logins.append(it.key());
    std::sort(logins.begin(), logins.end(), frenchOrder());
    return logins;
}

QList<ClassNotice> ClassAdaptations::notices() const
{
    QList<ClassNotice> said;
    const QString where = QStringLiteral("le fichier %1 du dossier des adaptations (%2)");
    if (!classProblem.isEmpty())
        said.append({QStringLiteral("Adaptations de lecture : %1 ne peut pas servir : %2. Les élèves sans adaptations "
                                    "propres ont la page ordinaire.")
                         .arg(where.arg(QString::fromLatin1(classAdaptationsName), folderShown), classProblem),
                     {}});
    else if (!ofClass.isDesign())
        said.append({QStringLiteral("Adaptations de lecture pour toute la classe : %1.").arg(describeSettings(ofClass)),
                     {}});
    QStringList withoutFile;
    const QStringList logins = [this] {
        QStringList all = pupils.keys();
        std::sort(all.begin(), all.end(), frenchOrder());
        return all;
    }();
    for (const QString &login : logins) {
        const PupilAdaptations &pupil = pupils[login];
        if (pupil.missing)
            withoutFile.append(login);
        else if (!pupil.problem.isEmpty())
            said.append({QStringLiteral("Adaptations de lecture de %1 : %2 : %3.")
                             .arg(login, where.arg(pupilAdaptationsName(login), folderShown), pupil.problem),
                         {}});
    }
    if (!withoutFile.isEmpty())
        said.append({QStringLiteral("Adaptations de lecture : %1 : un camarade pourrait voir qui en a un. "
                                    "« Adaptations… » puis « Enregistrer » en donne un à chacun.")
                         .arg(withoutFile.size() == 1
                                  ? QStringLiteral("1 élève n'a pas de fichier à son nom")
                                  : QStringLiteral("%1 élèves n'ont pas de fichier à leur nom").arg(withoutFile.size())),
                     withoutFile.mid(0, maxNoticeItems)});
    return said;
}

FolderAccess folderAccess(const std::filesystem::path &folder)
{
    return {[folder](const QString &name) { return readAdaptationsFile(folder, name); },
            [folder] { return pupilsWithFiles(folder); },
            [folder](const QString &name, const QString &login) { return pupilFileRightsFault(folder, name, login); }};
}

ClassAdaptations readClassAdaptations(const FolderAccess &access, const QString &folderShown, const QStringList &known)
{
    ClassAdaptations adaptations;
    adaptations.folderShown = folderShown;
    const EntryRead ofClass = readEntry(access.read, QString::fromLatin1(classAdaptationsName));
    if (ofClass.entry && ofClass.entry->followsClass)
        adaptations.classProblem = QStringLiteral("« comme la classe » ne peut pas être dit de la classe elle-même");
    else if (ofClass.entry)
        adaptations.ofClass = ofClass.entry->settings;
    else if (!ofClass.missing)
        adaptations.classProblem = ofClass.problem;
    QStringList logins = known + access.pupilsWithFiles();
    logins.removeDuplicates();
    for (const QString &login : std::as_const(logins)) {
        if (!loginFault(login).isEmpty())
            continue;
        const QString name = pupilAdaptationsName(login);
        const EntryRead read = readEntry(access.read, name);
        PupilAdaptations pupil{read.entry, read.missing, read.missing ? QString() : read.problem};
        if (read.entry && access.rightsFault)
            pupil.problem = access.rightsFault(name, login);
        adaptations.pupils.insert(login, pupil);
    }
    return adaptations;
}

QString SavedFile::line() const
{
    return QStringLiteral("%1 : %2%3")
        .arg(name, outcome.written ? QString() : QStringLiteral("non enregistré : "), outcome.problem);
}

QList<SavedFile> saveClassAdaptations(const WriteAdaptations &write, const ReadingSettings &ofClass,
                                      const QMap<QString, AdaptationsEntry> &pupils)
{
    QList<SavedFile> problems;
    const auto save = [&](const QString &name, const AdaptationsEntry &entry, const QString &login) {
        const WriteOutcome outcome = write(name, adaptationsFileBytes(entry), login);
        if (!outcome.written || !outcome.problem.isEmpty())
            problems.append({name, outcome});
    };
    save(QString::fromLatin1(classAdaptationsName), AdaptationsEntry{false, ofClass}, QString());
    for (auto it = pupils.cbegin(); it != pupils.cend(); ++it)
        save(pupilAdaptationsName(it.key()), it.value(), it.key());
    return problems;
}
