#pragma once

#include "exercisefile/exercisedraft.h"

#include <QByteArray>
#include <QString>

// Writing a teacher's exercise to its file, for the exercise editor.

// The file's text: the fields one a line, each paragraph on its line
// "paragraphe : ..." between blank lines, the instructions only where
// they are not the default ones. The reader reads it back as the same
// exercise.
QByteArray exerciseFileText(const Exercise &exercise);

struct ExerciseSaved
{
    bool saved = false;
    QList<ExerciseFault> faults; // the exercise breaks a rule: nothing written
    QString failure;             // the file could not be written, in French
};

// Checks the exercise and writes it to `fileName` as one piece: into a
// temporary file beside it, flushed to the disk, then renamed over it, so
// that the file is the old one or the new one, never a part of either. A
// new file is readable by all and writable by its owner alone (0644, whatever
// the umask); a file replaced keeps its permissions.
ExerciseSaved saveExerciseFile(const Exercise &exercise, const QString &fileName);

// Writes `bytes` to `fileName` as one piece, in the same way and with the
// same permissions; empty, or why not (the system's words).
QString writeFileWhole(const QString &fileName, const QByteArray &bytes);
