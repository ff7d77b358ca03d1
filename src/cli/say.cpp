#include "cli/say.h"

#include "classroom/wording.h"

#include <QIODevice>

void say(QIODevice &stream, const QString &text)
{
    stream.write(text.toUtf8());
}

void complain(QIODevice &err, const QString &text)
{
    say(err, QStringLiteral("morvel2 : ") + text);
}

QString recordsCollected(qint64 count)
{
    return plural(count, QStringLiteral("résultat recueilli"), QStringLiteral("résultats recueillis"));
}
