#include "saving/logsetting.h"

#include "paths/paths.h"
#include "saving/logpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace {

// A piece of a setting's value: text, or the place of a login name (%u).
struct Piece
{
    QString text;
    bool login = false;
};

// The login name or the machine's name goes into a path as one name.
bool usableInPath(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}

// The start of a sentence.
QString sentence(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

// Where %u stands in the file's name alone, the class's logs can be found
// by their names: the folder, and the text around the login name.
std::optional<PupilLogs> pupilLogsOf(const QList<Piece> &pieces)
{
    if (pieces.size() != 3 || std::any_of(pieces[2].text.cbegin(), pieces[2].text.cend(), isSeparator))
        return std::nullopt;
    const QString &before = pieces[0].text;
    qsizetype separator = before.size() - 1;
    while (separator >= 0 && !isSeparator(before[separator]))
        --separator;
    if (separator < 0)
        return std::nullopt;
    const QString folder = before.first(separator == 0 ? 1 : separator);
    return PupilLogs{localPath(folder), before.sliced(separator + 1), pieces[2].text};
}

} // namespace

Account thisAccount()
{
    return {loginName(), QSysInfo::machineHostName()};
}

ExpandedSetting expandLogSetting(const QString &value, const Account &account)
{
    ExpandedSetting expanded;
    QList<Piece> pieces{{}};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'%') {
            pieces.last().text += value[i];
            continue;
        }
        if (i + 1 == value.size()) {
            expanded.problem = QStringLiteral("finit par un « % » seul (%u : le compte, %h : la machine, "
                                              "%% : le signe %)");
            return expanded;
        }
        const QChar code = value[++i];
        if (code == u'%') {
            pieces.last().text += u'%';
        } else if (code == u'h') {
            if (!usableInPath(account.host)) {
                expanded.problem = QStringLiteral("contient %h, mais le nom de la machine « %1 » ne peut pas "
                                                  "servir dans un chemin").arg(account.host);
                return expanded;
            }
            pieces.last().text += account.host;
        } else if (code == u'u') {
            if (!usableInPath(account.login)) {
                expanded.problem = QStringLiteral("contient %u, mais le nom du compte « %1 » ne peut pas "
                                                  "servir dans un chemin").arg(account.login);
                return expanded;
            }
            pieces.append(Piece{{}, true});
            pieces.append(Piece{});
        } else {
            expanded.problem = QStringLiteral("contient « %1 », qui n'est ni %u (le compte), ni %h (la machine), "
                                              "ni %% (le signe %)").arg(QStringLiteral("%") + code);
            return expanded;
        }
    }
    for (const Piece &piece : pieces)
        expanded.path += piece.login ? account.login : piece.text;
    expanded.perPupil = pieces.size() > 1;
    expanded.pupilLogs = pupilLogsOf(pieces);
    return expanded;
}

LogLocation resultsLogLocation(const QStringList &sources, const std::filesystem::path &fallback,
                               const Account &account)
{
    const auto unusable = [&fallback](const QString &source, const QString &why) {
        return LogLocation{fallback, QStringLiteral("%1 %2.\nLes résultats sont enregistrés dans %3.")
                                         .arg(sentence(settingName(source)), why, displayPath(fallback)),
                           false, std::nullopt, {}};
    };
    for (const QString &source : sources) {
        const SettingRead read = readLogSetting(source);
        // A source that cannot be read might have held the class's setting:
        // the technician must hear of it rather than find the records in
        // every pupil's home folder.
        if (!read.problem.isEmpty())
            return unusable(source, QStringLiteral("ne peut pas être lu : %1").arg(read.problem));
        // A source without the key (a user file holding other settings)
        // leaves the choice to the next one.
        if (!read.value)
            continue;
        const ExpandedSetting expanded = expandLogSetting(*read.value, account);
        if (!expanded.problem.isEmpty())
            return unusable(source, expanded.problem);
        const QString value = expanded.path;
        if (!QDir::isAbsolutePath(value))
            return unusable(source, QStringLiteral("n'est pas un chemin complet : « %1 »").arg(value));
        // Said now rather than only after the exercise, when the record
        // cannot be written; the setting is kept, as a share may come later.
        const QFileInfo log(value);
        QString warning;
        // (A folder at one pupil's name is that pupil's trouble, told when
        // the record is refused, not the setting's.)
        if (log.isDir() && !expanded.perPupil)
            warning = QStringLiteral("%1 nomme un dossier : « %2 ».");
        else if (!log.dir().exists())
            warning = QStringLiteral("%1 nomme un fichier dans un dossier qui n'existe pas : « %2 ».");
        if (!warning.isEmpty())
            warning = warning.arg(sentence(settingName(source)), QDir::toNativeSeparators(value));
        return {localPath(value), warning, expanded.perPupil, expanded.pupilLogs, settingPlace(source)};
    }
    return {fallback, {}, false, std::nullopt, {}};
}

FoundSetting findSetting(const QStringList &sources, const QString &group, const QString &key)
{
    for (const QString &source : sources) {
        const SettingRead read = readSetting(source, group, key);
        if (!read.problem.isEmpty())
            return {std::nullopt, QDir::toNativeSeparators(source), read.problem};
        if (read.value)
            return {read.value, QDir::toNativeSeparators(source), {}};
    }
    return {};
}

LogLocation resultsLogLocation()
{
    return resultsLogLocation(logSettingSources(), resultsLogPath());
}
