#pragma once

#include "exercisefile/exercisedraft.h"

#include <QByteArrayView>
#include <QList>

#include <filesystem>
#include <optional>

// A teacher's exercise file: plain UTF-8 text that any editor writes, one
// field a line ("code : 301", "titre : ...", "idée au paragraphe 2 : ..."),
// each paragraph after a line "paragraphe :" up to the next blank line, and
// comments after "#". docs/exercices.md describes it for teachers, with an
// example. The reader checks it line by line and says every fault with its
// line; a file with any fault gives no exercise at all.

// An exercise file is small; anything larger is not one.
inline constexpr qsizetype maxExerciseFileBytes = 64 * 1024;

struct ExerciseRead
{
    std::optional<Exercise> exercise; // only when the file has no fault
    QList<ExerciseFault> faults;
};

// The draft the file's lines make, and the faults of the lines themselves
// (what is not a field, a paragraph left without its blank line, what is
// not UTF-8, a field given twice), added to `faults`.
ExerciseDraft parseExerciseDraft(QByteArrayView bytes, QList<ExerciseFault> &faults);

// The exercise in the file's bytes, or all its faults.
ExerciseRead parseExerciseFile(QByteArrayView bytes);

// The exercise in the file at `path`, opened without waiting (a FIFO is not
// an exercise) and read no further than the limit; a file that cannot be
// read is one fault, for the file as a whole.
ExerciseRead readExerciseFile(const std::filesystem::path &path);

// All the faults, one a line, for a person: "ligne 3 : ...".
QString describeFaults(const QList<ExerciseFault> &faults);
