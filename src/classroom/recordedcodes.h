#pragma once

#include "classroom/classsources.h"

#include <QList>
#include <QString>

// Whether any of the class's logs holds a record of the exercise `code`:
// a line that starts with that code in its zone, as every record does.
// Each log is opened as the class's reading opens it, and read a block at a
// time until the first such line.
bool logsHoldExercise(const QList<LogSource> &logs, const QString &code);
