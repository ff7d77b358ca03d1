#include "offered/choicewriter.h"

#include "exercisefile/exercisewriter.h"
#include "offered/offer.h"

#include <QDir>

QByteArray offerChoiceText(const QStringList &files)
{
    QByteArray text = "# Les exercices proposés aux élèves, dans l'ordre où ils les voient.\n"
                      "# Choisis dans la fenêtre « Résultats de la classe », « Exercices… ».\n";
    for (const QString &file : files)
        text += file.toUtf8() + '\n';
    return text;
}

QString saveOfferChoice(const QString &folder, const QStringList &files)
{
    const QByteArray text = offerChoiceText(files);
    const OfferChoice readBack = parseOfferChoice(text);
    if (!readBack.faults.isEmpty() || readBack.files != files)
        return QStringLiteral("ce choix ne peut pas être écrit : %1")
            .arg(readBack.faults.isEmpty() ? QStringLiteral("il ne se relit pas tel quel")
                                           : describeFaults(readBack.faults).trimmed());
    const QString failure = writeFileWhole(QDir(folder).filePath(QLatin1String(choiceFileName)), text);
    return failure.isEmpty() ? QString() : QStringLiteral("le choix n'a pas pu être écrit : %1").arg(failure);
}
