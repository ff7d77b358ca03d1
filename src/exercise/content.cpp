#include "exercise/content.h"

#include <QStringList>

#include <array>

namespace Content {

QString readingInstruction()
{
    return QStringLiteral("Lis d'abord ce texte, puis réponds à la question qui suit le texte.");
}

QString questionInstruction()
{
    return QStringLiteral("Utilise les nombres de 1 à 4 pour indiquer dans quel paragraphe tu "
                          "retrouves les idées suivantes:");
}

QString passage()
{
    // Paragraph themes, in order: the hero and how Dorvé came to draw him;
    // the albums' success; the album Dorvé liked best; his death and the
    // hero who outlives him. The answer key depends on that order.
    const QStringList paragraphs = {
        QStringLiteral(
            "1- Jasmin Flamèche est un jeune aéronaute à l'écharpe verte qui parcourt le ciel "
            "dans un ballon rapiécé, avec Grignot, un écureuil bavard. Il est né sous le crayon "
            "de Dorvé, le nom d'artiste de Lucien Marcadet, qui l'avait emprunté au hameau de "
            "son enfance. Un soir d'orage, en regardant un cerf-volant emporté par le vent, "
            "Lucien a eu l'idée d'un garçon qui voyagerait partout sans jamais toucher le sol."),
        QStringLiteral(
            "2. Les trente-deux albums de Jasmin Flamèche ont été traduits en quarante et une "
            "langues, du finnois au swahili. On en a vendu plus de soixante millions "
            "d'exemplaires, et chaque nouvelle aventure faisait la queue devant les librairies."),
        QStringLiteral(
            " 3. C'est dans « La Nuit des lanternes » que Dorvé montre le mieux son talent : "
            "des pages entières sans une parole, où seules les couleurs du ciel racontent "
            "l'histoire. Il disait lui-même que c'était son album préféré."),
        QStringLiteral(
            " 4. Dorvé s'est éteint en 1994, à soixante-dix-neuf ans, sa dernière planche "
            "inachevée sur sa table. Mais Jasmin Flamèche n'a pas vieilli d'un jour : il "
            "continue de voler dans le cœur des jeunes lecteurs."),
    };
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString prompt(int row)
{
    static const std::array<QString, questionCount> prompts = {
        QStringLiteral("L'album le plus réussi                 N°"),
        QStringLiteral("Un personnage inoubliable        N°"),
        QStringLiteral("La présentation de Dorvé           N°"),
        QStringLiteral("La popularité de la collection    N°"),
    };
    return prompts.at(static_cast<std::size_t>(row));
}

QString expectedAnswer(int row)
{
    static const std::array<QString, questionCount> answerKey = {
        QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("1"), QStringLiteral("2")};
    return answerKey.at(static_cast<std::size_t>(row));
}

QString exerciseCode()
{
    return QStringLiteral("202");
}

QString exerciseLabel()
{
    return QStringLiteral("Morvel-sens paragraphes:(3412)");
}

} // namespace Content
