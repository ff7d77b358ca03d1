#pragma once

#include "offered/offer.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>

// The teacher's exercises folder as the teacher's window lists it: every
// exercise file in it, whether the pupils are offered it, and what keeps a
// file from being used. Each file is read exactly as the pupils' program
// reads it (offered/exercisesfolder.h), so that the problem the teacher is
// told is the one that keeps it from the pupils.

// Past this many files the rest of the folder is not read: a folder a
// teacher keeps by hand holds tens.
inline constexpr int maxLibraryFiles = 300;

struct LibraryEntry
{
    QString file;                     // its name in the folder
    std::optional<Exercise> exercise; // what it holds, when it can be read
    QString problem;                  // why it cannot be used, in French
    bool offered = false;
};

struct ExerciseLibrary
{
    QString problem; // the choice file, or the folder as a whole, in French
    // The files by name; an offered name that has no file is among them.
    QList<LibraryEntry> entries;
    // The teacher's choice, in the pupils' order; empty when it has a fault.
    QStringList offered;
    int leftOut = 0; // files past maxLibraryFiles

    QStringList codes() const;
    QStringList files() const;
    // The entry of `file`, or -1.
    int indexOf(const QString &file) const;
};

// The library that these files of the folder (`names`, any order), its
// choice file and the reading of each file (`readFile`) make.
ExerciseLibrary libraryFrom(QStringList names, const FolderFile &choice,
                            const std::function<FolderFile(const QString &name)> &readFile);

// The library of the folder `folder`.
ExerciseLibrary readExerciseLibrary(const std::filesystem::path &folder);
