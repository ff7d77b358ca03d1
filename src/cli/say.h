#pragma once

#include <QString>

class QIODevice;

// What the commands print, as UTF-8.
void say(QIODevice &stream, const QString &text);

// The same on standard error, after the program's name: "morvel2 : ...".
void complain(QIODevice &err, const QString &text);

// "1 résultat recueilli", "3 résultats recueillis".
QString recordsCollected(qint64 count);
