#pragma once

#include "classroom/classresults.h"

#include <QList>

class QIODevice;

// The class's best scores for Moodle's gradebook, which imports them from a
// CSV file with no server of ours ("Importer › Fichier CSV"): a header row,
// the pupil's login in a column "username" (Moodle's identifier, which it
// keeps in lower case: the login is written so), then one column per
// known exercise with attempts, named by its code, title and what it is
// out of, holding the pupil's best score out of its number of ideas (empty
// when the pupil has no attempt at it). Comma-separated, as Moodle's import
// expects by default, UTF-8 without a byte-order mark, CR LF line ends;
// logins that differ only by case are one pupil. Exercises not known are
// left out: what their scores are out of is not known. Only a class of a
// log per pupil has logins to give.

// The exercises the file gives a column each, in the order of `results`.
QList<ExerciseKey> moodleExercises(const ClassResults &results);

// Whether every row was written.
bool writeMoodleCsv(QIODevice &device, const ClassResults &results);
