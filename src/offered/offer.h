#pragma once

#include "exercisefile/exercisefile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The exercises a teacher offers the class, and what the pupils get of them.
// They are files of the teacher's folder (offered/exercisesfolder.h), beside
// the teacher's choice: the file "proposes.conf", one exercise file's name a
// line, in the order the pupils see them, "#" starting a comment. Every file
// is read and checked; a file that cannot be read, is unsafe or is not a
// valid exercise is left out, with why, for the teacher's window, and the
// pupils get the others, or the built-in exercise when none is left.

inline constexpr const char *choiceFileName = "proposes.conf";
// More would not fit a child's choice, nor a quick start.
inline constexpr int maxOffered = 30;

// The teacher's choice as its file says it: the file names, or the faults
// that keep the whole choice from being used.
struct OfferChoice
{
    QStringList files;
    QList<ExerciseFault> faults;
};
OfferChoice parseOfferChoice(QByteArrayView bytes);

// What reading one file of the folder gave.
struct FolderFile
{
    bool ok = false;
    bool missing = false; // there is no such file
    QByteArray bytes;
    QString reason; // when not ok, in French
};

// One exercise of the choice: the exercise, or why the pupils do not get it.
struct OfferedFile
{
    QString file;
    std::optional<Exercise> exercise;
    QString problem; // in French, one fault a line
};

struct Offer
{
    QString folder;  // as a person reads it; empty where no setting names one
    QString problem; // the setting, the folder or the choice as a whole, in French
    QList<OfferedFile> files; // in the teacher's order

    // The exercises the pupils get, in the teacher's order.
    QList<Exercise> exercises() const;
};

// The offer the choice file's reading and each exercise file's reading
// make; `readFile` reads one file of the folder by its name. Nothing is
// read unless the choice holds it, and nothing at all from a choice with a
// fault. Of two files with one code, the second is left out: records of
// one code must be of one exercise.
Offer offerFrom(const FolderFile &choice, const std::function<FolderFile(const QString &name)> &readFile);
