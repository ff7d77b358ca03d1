#pragma once

#include <QCollator>
#include <QString>

// French as the teacher's tools write it.

// "1 élève", "3 élèves"; 0 takes the singular, as French does.
QString plural(qint64 count, const QString &one, const QString &many);

// French alphabetical order, numbers by their value: céline before chloé,
// élise among the e, 2 before 10.
QCollator frenchOrder();
