#include "adaptations/adaptationsfile.h"

#include <QHash>
#include <QLocale>
#include <QList>
#include <QStringList>

#include <optional>

namespace {

const QString checksumKey = QStringLiteral("contrôle");
const QString pupilPrefix = QStringLiteral("eleve-");
const QString pupilSuffix = QStringLiteral(".conf");

struct Choice
{
    QString word;
    int value;
};

const QList<Choice> fontWords = {{QStringLiteral("modèle"), int(ReadingFont::Design)},
                                 {QStringLiteral("andika"), int(ReadingFont::Andika)},
                                 {QStringLiteral("opendyslexic"), int(ReadingFont::OpenDyslexic)}};
const QList<Choice> backgroundWords = {{QStringLiteral("modèle"), int(PassageBackground::Design)},
                                       {QStringLiteral("blanc"), int(PassageBackground::White)},
                                       {QStringLiteral("crème"), int(PassageBackground::Cream)}};
const QList<Choice> yesNo = {{QStringLiteral("non"), 0}, {QStringLiteral("oui"), 1}};

QString wordOf(const QList<Choice> &choices, int value)
{
    for (const Choice &choice : choices)
        if (choice.value == value)
            return choice.word;
    return choices.constFirst().word;
}

QString wordsOf(const QList<Choice> &choices)
{
    QStringList words;
    for (const Choice &choice : choices)
        words.append(QStringLiteral("« %1 »").arg(choice.word));
    return words.join(QStringLiteral(", "));
}

QString numbersOf(const QList<int> &choices)
{
    QStringList numbers;
    for (int value : choices)
        numbers.append(QString::number(value));
    return numbers.join(QStringLiteral(", "));
}

QString checksumOf(QByteArrayView bytes)
{
    return QStringLiteral("%1").arg(qChecksum(bytes), 4, 16, QLatin1Char('0'));
}

// One field's value into `settings`; why not, in French.
QString setField(ReadingSettings &settings, const QString &key, const QString &value)
{
    const auto pick = [&value](const QList<Choice> &choices, auto &field) {
        for (const Choice &choice : choices) {
            if (choice.word == value.toLower()) {
                field = static_cast<std::remove_reference_t<decltype(field)>>(choice.value);
                return QString();
            }
        }
        return QStringLiteral("« %1 » n'est pas une valeur permise (%2)").arg(value, wordsOf(choices));
    };
    const auto number = [&value](const QList<int> &choices, int &field) {
        bool ok = false;
        const int read = value.toInt(&ok);
        if (!ok || !choices.contains(read))
            return QStringLiteral("« %1 » n'est pas une valeur permise (%2)").arg(value, numbersOf(choices));
        field = read;
        return QString();
    };
    if (key == QLatin1String("police"))
        return pick(fontWords, settings.font);
    if (key == QLatin1String("fond"))
        return pick(backgroundWords, settings.background);
    if (key == QStringLiteral("règle"))
        return pick(yesNo, settings.readingRuler);
    if (key == QLatin1String("taille"))
        return number(textSizeChoices(), settings.textSizePercent);
    if (key == QLatin1String("interligne"))
        return number(lineSpacingChoices(), settings.lineSpacingPercent);
    if (key == QLatin1String("lettres"))
        return number(letterSpacingChoices(), settings.letterSpacingHundredths);
    if (key == QLatin1String("mots"))
        return number(wordSpacingChoices(), settings.wordSpacingHundredths);
    return QStringLiteral("« %1 » n'est pas un champ de ce fichier").arg(key);
}

ParsedAdaptations faulty(int line, const QString &why)
{
    ParsedAdaptations parsed;
    parsed.fault = QStringLiteral("ligne %1 : %2").arg(line).arg(why);
    return parsed;
}

} // namespace

QString pupilAdaptationsName(const QString &login)
{
    return pupilPrefix + login + pupilSuffix;
}

std::optional<QString> loginOfPupilFile(const QString &name)
{
    if (!name.startsWith(pupilPrefix) || !name.endsWith(pupilSuffix))
        return std::nullopt;
    const QString login = name.sliced(pupilPrefix.size(), name.size() - pupilPrefix.size() - pupilSuffix.size());
    return loginFault(login).isEmpty() ? std::optional(login) : std::nullopt;
}

QString loginFault(const QString &login)
{
    if (login.trimmed().isEmpty())
        return QStringLiteral("l'identifiant est vide");
    if (login != login.trimmed())
        return QStringLiteral("l'identifiant commence ou finit par une espace");
    if (login.size() > 64)
        return QStringLiteral("l'identifiant a plus de 64 caractères");
    if (login.startsWith(u'.') || login.startsWith(u'-'))
        return QStringLiteral("l'identifiant ne peut pas commencer par « %1 »").arg(login.front());
    for (const QChar c : login) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || QStringLiteral("/\\:*?\"<>|").contains(c))
            return QStringLiteral("l'identifiant ne peut pas contenir « %1 »").arg(c.isPrint() ? QString(c) : QStringLiteral("?"));
    }
    return {};
}

QByteArray adaptationsFileBytes(const AdaptationsEntry &entry)
{
    const ReadingSettings &s = entry.settings;
    QString text = QStringLiteral("# Adaptations de lecture de morvel2, écrites par la fenêtre « Résultats de la "
                                  "classe » (Adaptations…).\n");
    if (entry.followsClass) {
        text += QStringLiteral("adaptations : comme la classe\n");
    } else if (s.isDesign()) {
        text += QStringLiteral("adaptations : non\n");
    } else {
        text += QStringLiteral("adaptations : oui\npolice : %1\ntaille : %2\ninterligne : %3\nlettres : %4\n"
                               "mots : %5\nfond : %6\nrègle : %7\n")
                    .arg(wordOf(fontWords, int(s.font)))
                    .arg(s.textSizePercent)
                    .arg(s.lineSpacingPercent)
                    .arg(s.letterSpacingHundredths)
                    .arg(s.wordSpacingHundredths)
                    .arg(wordOf(backgroundWords, int(s.background)), wordOf(yesNo, s.readingRuler));
    }
    QByteArray bytes = text.toUtf8();
    bytes += (checksumKey + QStringLiteral(" : ") + checksumOf(bytes) + u'\n').toUtf8();
    // Padding to the one size every file has: a comment line.
    const qsizetype room = adaptationsFileSize - bytes.size() - 2;
    bytes += '#' + QByteArray(room, ' ') + '\n';
    return bytes;
}

namespace {

// Each line of `bytes` with its number and where it starts.
template <typename Visit>
void forEachLine(QByteArrayView bytes, Visit visit)
{
    qsizetype start = 0;
    for (int line = 1; start < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (!visit(line, start, QString::fromUtf8(bytes.sliced(start, end - start)).trimmed()))
            return;
        start = end + 1;
    }
}

QString keyOf(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    return colon < 0 ? QString() : text.first(colon).trimmed().toLower();
}

} // namespace

ParsedAdaptations parseAdaptations(QByteArrayView bytes)
{
    if (bytes.size() > maxAdaptationsBytes)
        return faulty(1, QStringLiteral("le fichier a plus de %1 octets").arg(maxAdaptationsBytes));
    // The checksum first: a file read while being rewritten is no file to
    // judge line by line.
    qsizetype fields = bytes.size();
    bool mixed = false;
    forEachLine(bytes, [&](int, qsizetype start, const QString &text) {
        if (text.startsWith(u'#') || keyOf(text) != checksumKey)
            return true;
        fields = start;
        mixed = text.sliced(text.indexOf(u':') + 1).trimmed().toLower() != checksumOf(bytes.first(start));
        return false;
    });
    if (mixed) {
        ParsedAdaptations parsed;
        parsed.fault = QStringLiteral("son contrôle ne correspond pas à son contenu");
        parsed.mixed = true;
        return parsed;
    }
    const QStringList kinds = {QStringLiteral("oui"), QStringLiteral("non"), QStringLiteral("comme la classe")};
    std::optional<QString> kind;
    ReadingSettings settings;
    QHash<QString, int> seen;
    ParsedAdaptations fault;
    forEachLine(bytes.first(fields), [&](int line, qsizetype, const QString &text) {
        if (text.contains(QChar::ReplacementCharacter))
            fault = faulty(line, QStringLiteral("ce n'est pas du texte UTF-8"));
        if (!fault.fault.isEmpty() || text.isEmpty() || text.startsWith(u'#'))
            return fault.fault.isEmpty();
        const QString key = keyOf(text);
        const QString value = text.sliced(text.indexOf(u':') + 1).trimmed();
        QString why;
        if (key.isEmpty())
            why = QStringLiteral("« %1 » n'est pas un champ (« nom : valeur »)").arg(text.left(40));
        else if (seen.contains(key))
            why = QStringLiteral("le champ « %1 » est déjà à la ligne %2").arg(key).arg(seen.value(key));
        else if (key != QLatin1String("adaptations"))
            why = setField(settings, key, value);
        else if (kinds.contains(value.toLower()))
            kind = value.toLower();
        else
            why = QStringLiteral("« %1 » n'est pas une valeur permise (« oui », « non », « comme la classe »)").arg(value);
        if (!why.isEmpty())
            fault = faulty(line, why);
        seen.insert(key, line);
        return fault.fault.isEmpty();
    });
    if (!fault.fault.isEmpty())
        return fault;
    if (!kind)
        return faulty(1, QStringLiteral("le champ « adaptations » manque"));
    if (*kind != QLatin1String("oui") && seen.size() > 1)
        return faulty(seen.value(QStringLiteral("adaptations")),
                      QStringLiteral("« adaptations : %1 » ne va avec aucun autre champ").arg(*kind));
    ParsedAdaptations parsed;
    parsed.entry = AdaptationsEntry{*kind == QLatin1String("comme la classe"),
                                    *kind == QLatin1String("oui") ? settings : ReadingSettings{}};
    return parsed;
}

QString describeSettings(const ReadingSettings &settings)
{
    if (settings.isDesign())
        return QStringLiteral("aucune");
    QStringList parts;
    if (settings.font != ReadingFont::Design)
        parts.append(settings.font == ReadingFont::Andika ? QStringLiteral("Andika") : QStringLiteral("OpenDyslexic"));
    const QLocale french(QLocale::French);
    if (settings.textSizePercent != 100)
        parts.append(QStringLiteral("texte à %1 %").arg(settings.textSizePercent));
    if (settings.lineSpacingPercent != 100)
        parts.append(QStringLiteral("interligne %1").arg(french.toString(settings.lineSpacingPercent / 100.0)));
    if (settings.letterSpacingHundredths != 0)
        parts.append(QStringLiteral("lettres espacées de %1 em")
                         .arg(french.toString(settings.letterSpacingHundredths / 100.0)));
    if (settings.wordSpacingHundredths != 0)
        parts.append(QStringLiteral("mots espacés de %1 em").arg(french.toString(settings.wordSpacingHundredths / 100.0)));
    if (settings.background != PassageBackground::Design)
        parts.append(settings.background == PassageBackground::White ? QStringLiteral("fond blanc")
                                                                     : QStringLiteral("fond crème"));
    if (settings.readingRuler)
        parts.append(QStringLiteral("règle de lecture"));
    return parts.join(QStringLiteral(", "));
}
