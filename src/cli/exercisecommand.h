#pragma once

#include "exercise/exercise.h"

#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// `morvel2 --exercice FICHIER`: a teacher's exercise started at once, as
// the pupil's program starts an offered one (for technicians, scripts and
// tests).

// The file the command line names, when it asks for that alone
// ("--exercice FICHIER" or "--exercice=FICHIER"); nothing otherwise.
std::optional<QString> exerciseFileArgument(const QStringList &arguments);

// The exercise in that file; nothing when it is not a valid exercise, each
// fault then said on `err`, in French, with its line.
std::optional<Exercise> exerciseOfArgument(const QString &file, QIODevice &err);
