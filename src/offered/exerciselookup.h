#pragma once

#include "record/knownexercises.h"

#include <QStringList>

#include <memory>

// The exercises the teacher's tools read results by: the built-in one,
// every exercise file of the machine's exercises folder (offered or not:
// an exercise no longer offered still has its results), and the files the
// teacher names. A file that cannot be read, or is no valid exercise, is
// left out with why; the records of its exercise are then those of an
// exercise not known, never read by another's prompts.

struct ExerciseLookup
{
    // The setting files that may name the exercises folder
    // (offered/exercisesfolder.h); none: no folder is looked in.
    QStringList settingSources;
    // Exercise files the teacher named; they come before the folder's.
    QStringList files;
};

// This machine's folder, and `files`.
ExerciseLookup machineExerciseLookup(const QStringList &files = {});

// More files than a teacher writes for a class: the folder's others are not read.
inline constexpr int maxFolderExercises = 500;

std::shared_ptr<const KnownExercises> loadKnownExercises(const ExerciseLookup &lookup);
