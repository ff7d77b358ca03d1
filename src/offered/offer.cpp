#include "offered/offer.h"

#include <QHash>
#include <QStringDecoder>

namespace {

// Why a line cannot name a file of the folder, or empty.
QString nameFault(const QString &name)
{
    if (name.contains(u'/') || name.contains(u'\\'))
        return QStringLiteral("« %1 » n'est pas un nom de fichier seul : les exercices sont dans le dossier même")
            .arg(name);
    if (name.startsWith(u'.'))
        return QStringLiteral("« %1 » est un fichier caché : un exercice n'en est pas un").arg(name);
    if (!name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return QStringLiteral("« %1 » n'est pas un fichier d'exercice : son nom finit par .txt").arg(name);
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("ce nom de fichier contient un caractère invisible");
    return {};
}

} // namespace

OfferChoice parseOfferChoice(QByteArrayView bytes)
{
    OfferChoice choice;
    if (bytes.size() > maxExerciseFileBytes) {
        choice.faults.append({0, QStringLiteral("le fichier dépasse %1 Kio").arg(maxExerciseFileBytes / 1024)});
        return choice;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QHash<QString, int> lineOf;
    int number = 0;
    for (const QByteArrayView rawLine : QByteArray(bytes.data(), bytes.size()).split('\n')) {
        ++number;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = QString(decoder.decode(rawLine)).trimmed();
        if (decoder.hasError()) {
            choice.faults.append({number, QStringLiteral("cette ligne n'est pas du texte UTF-8")});
            continue;
        }
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (const QString fault = nameFault(line); !fault.isEmpty())
            choice.faults.append({number, fault});
        else if (lineOf.contains(line))
            choice.faults.append({number, QStringLiteral("« %1 » est déjà proposé ligne %2").arg(line).arg(lineOf[line])});
        else if (choice.files.size() == maxOffered)
            choice.faults.append({number, QStringLiteral("au plus %1 exercices peuvent être proposés").arg(maxOffered)});
        else
            choice.files.append(line);
        lineOf.insert(line, number);
    }
    if (!choice.faults.isEmpty())
        choice.files.clear();
    return choice;
}

QList<Exercise> Offer::exercises() const
{
    QList<Exercise> offered;
    for (const OfferedFile &file : files)
        if (file.exercise)
            offered.append(*file.exercise);
    return offered;
}

Offer offerFrom(const FolderFile &choice, const std::function<FolderFile(const QString &name)> &readFile)
{
    Offer offer;
    if (choice.missing)
        return offer;
    if (!choice.ok) {
        offer.problem = QStringLiteral("le choix des exercices proposés (%1) ne peut pas être lu : %2")
                            .arg(QLatin1String(choiceFileName), choice.reason);
        return offer;
    }
    const OfferChoice parsed = parseOfferChoice(choice.bytes);
    if (!parsed.faults.isEmpty()) {
        offer.problem = QStringLiteral("le choix des exercices proposés (%1) n'est pas valable :\n%2")
                            .arg(QLatin1String(choiceFileName), describeFaults(parsed.faults).trimmed());
        return offer;
    }
    QHash<QString, QString> fileOfCode;
    for (const QString &name : parsed.files) {
        OfferedFile offered{name, std::nullopt, {}};
        const FolderFile read = readFile(name);
        if (!read.ok) {
            offered.problem = read.missing ? QStringLiteral("il n'existe pas") : read.reason;
        } else if (ExerciseRead exercise = parseExerciseFile(read.bytes); !exercise.exercise) {
            offered.problem = describeFaults(exercise.faults).trimmed();
        } else if (const QString other = fileOfCode.value(exercise.exercise->code); !other.isEmpty()) {
            offered.problem = QStringLiteral("le code %1 est déjà celui de %2").arg(exercise.exercise->code, other);
        } else {
            fileOfCode.insert(exercise.exercise->code, name);
            offered.exercise = std::move(exercise.exercise);
        }
        offer.files.append(offered);
    }
    return offer;
}
