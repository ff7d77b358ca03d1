#pragma once

#include "exercise/exercise.h"

#include <QString>
#include <QStringList>

#include <functional>

// What saving an exercise from the teacher's editor does. A code is never
// used for two contents: records already written under it would meet new
// prompts or a new key. So a new exercise, or a copy, takes a code no file
// of the folder and no record of the class has; and an exercise the class
// has already done is saved under a new code when its content changes, its
// old file kept for the records that name it.

// Whether the class's results hold a record of the exercise of this code.
using HasAttempts = std::function<bool(const QString &code)>;

// A code for a new exercise: after every code of the folder's files
// (proposeExerciseCode()), and none the class's results hold.
QString proposeNewCode(const QStringList &folderCodes, const HasAttempts &hasAttempts);

// The file a new exercise is saved in: its code, then its title's words
// without accents, "304-l-ecureuil-et-ses-reserves.txt"; never one of
// `taken` (compared without case, as Windows does).
QString exerciseFileName(const QString &code, const QString &title, const QStringList &taken);

// Whether saving `edited` over `original` must give it a new code: the
// class has done the original, and what the pupil sees or the record holds
// changed.
bool needsNewCode(const Exercise &original, const Exercise &edited, bool originalHasAttempts);

// The exercise the editor starts from to copy `source`: its paragraphs
// without the numbers the page adds, its ideas without the built-in one's
// marks, " (copie)" after its title, the code `code`.
Exercise copyOf(const Exercise &source, const QString &code);
