#pragma once

#include "adaptations/adaptationsfolder.h"
#include "classroom/classnotices.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// The class's adaptations as the teacher's window reads and writes them:
// the class's file and every pupil's, what each says and what is wrong with
// it, from the teacher's side of the folder (the teacher may list it, read
// every file and see who else may read it).

struct PupilAdaptations
{
    std::optional<AdaptationsEntry> entry; // as read; none when missing or faulty
    bool missing = false;
    QString problem; // the file cannot be used, or its rights are wrong, in French
};

struct ClassAdaptations
{
    QString folderShown;
    ReadingSettings ofClass;
    QString classProblem; // in French; empty when the class's file was read or is missing
    QMap<QString, PupilAdaptations> pupils; // by login: the known pupils and those with a file

    // The settings `login`'s page is drawn with now.
    ReadingSettings settingsOf(const QString &login) const;
    // Whether `login` has settings of their own, other than the class's.
    bool hasOwn(const QString &login) const;
    // The pupils with settings of their own, in French order.
    QStringList adapted() const;
    // What the window says about them: the class's settings, each file
    // that cannot be used and why, the known pupils without a file yet.
    QList<ClassNotice> notices() const;
};

// What the teacher's side needs of the folder, apart from reading a file.
struct FolderAccess
{
    ReadAdaptations read;
    std::function<QStringList()> pupilsWithFiles;
    // Who may read a pupil's file besides the pupil, or that the pupil may
    // not; empty when its rights are right or cannot be seen.
    std::function<QString(const QString &name, const QString &login)> rightsFault;
};
FolderAccess folderAccess(const std::filesystem::path &folder);

// The class as the folder holds it, for the pupils `known` (the class
// folder's) and those who have a file.
ClassAdaptations readClassAdaptations(const FolderAccess &access, const QString &folderShown,
                                      const QStringList &known);

// Writes the class's file and every pupil's of `pupils` (each known pupil,
// those with own settings and those without, so that all look alike), the
// class's first. The files with a problem: not written, or written with
// rights that are not right.
using WriteAdaptations = std::function<WriteOutcome(const QString &name, const QByteArray &bytes, const QString &pupil)>;
struct SavedFile
{
    QString name;
    WriteOutcome outcome;
    // "NAME : non enregistré : WHY", or "NAME : WHY" for one written, in French.
    QString line() const;
};
QList<SavedFile> saveClassAdaptations(const WriteAdaptations &write, const ReadingSettings &ofClass,
                                      const QMap<QString, AdaptationsEntry> &pupils);
