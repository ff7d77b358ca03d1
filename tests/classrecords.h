#pragma once

#include "record/record.h"
#include "record/recordreader.h"

#include <QStringList>

// A record as the window writes it for these four answers ("" for a row
// committed empty).
inline QByteArray recordFor(const QStringList &answers)
{
    return recordLine(recordFieldsFor(answers));
}

// The same for a teacher's exercise.
inline QByteArray recordFor(const Exercise &exercise, const QStringList &answers)
{
    return recordLine(recordFieldsFor(exercise, answers));
}
