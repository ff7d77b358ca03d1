#include "app/commandline.h"

#include "paths/paths.h"
#include "results/appendfile.h"
#include "results/bilan.h"
#include "results/collectclass.h"

#include <QCommandLineParser>
#include <QDir>
#include <QIODevice>

namespace {

void say(QIODevice &stream, const QString &text)
{
    stream.write(text.toUtf8());
}

QString help()
{
    return QStringLiteral(
        "Utilisation : morvel2 [option]\n"
        "              morvel2 --bilan CHEMIN... [--csv FICHIER]\n"
        "Exercice de compréhension de lecture. Sans option, l'exercice s'ouvre.\n"
        "\n"
        "Options :\n"
        "  --bilan CHEMIN...  affiche le bilan de la classe : chaque CHEMIN est un\n"
        "                     fichier de résultats ou un dossier de fichiers *.txt,\n"
        "                     un par élève, nommé d'après le fichier\n"
        "  --csv FICHIER      avec --bilan, écrit aussi chaque essai dans FICHIER pour\n"
        "                     un tableur ; FICHIER ne doit pas exister\n"
        "  --collect FICHIER  déplace le fichier de résultats vers FICHIER, sans perdre\n"
        "                     un résultat enregistré au même moment ; FICHIER ne doit\n"
        "                     pas exister ; le prochain résultat commence un nouveau\n"
        "                     fichier\n"
        "  --collect DOSSIER  quand chaque élève a son fichier (%u dans le réglage) :\n"
        "                     déplace les fichiers de toute la classe dans DOSSIER,\n"
        "                     chacun sous son nom\n"
        "  -h, --help         affiche cette aide\n"
        "  --version          affiche la version\n"
        "\n"
        "Le fichier de résultats : %1\n");
}

QString misuse(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return QStringLiteral("l'option %1 demande un nom de fichier.")
            .arg(parser.errorText().contains(QLatin1String("csv")) ? QStringLiteral("--csv") : QStringLiteral("--collect"));
    const QString name = unknown.first();
    const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
    return QStringLiteral("option inconnue : %1%2").arg(dashes, name);
}

int collectPupils(const PupilLogs &logs, const QString &folder, QIODevice &out, QIODevice &err)
{
    const ClassCollectOutcome outcome = collectClass(logs, localPath(folder));
    if (!outcome.failure.isEmpty()) {
        say(err, QStringLiteral("morvel2 : %1 ; rien n'a été déplacé.\n").arg(outcome.failure));
        return 1;
    }
    for (const QString &left : outcome.leftAlone)
        say(err, QStringLiteral("morvel2 : %1\n").arg(left));
    const QString pupils = outcome.pupils == 1 ? QStringLiteral("1 élève") : QStringLiteral("%1 élèves").arg(outcome.pupils);
    const QString records = outcome.records == 1 ? QStringLiteral("1 résultat recueilli")
                                                 : QStringLiteral("%1 résultats recueillis").arg(outcome.records);
    if (outcome.pupils == 0 && outcome.leftAlone.isEmpty())
        say(out, QStringLiteral("Aucun résultat à recueillir dans %1.\n").arg(displayPath(logs.folder)));
    else
        say(out, QStringLiteral("%1, %2 dans %3.\n").arg(pupils, records, folder));
    return outcome.leftAlone.isEmpty() ? 0 : 1;
}

int collect(const LogLocation &log, const QString &file, QIODevice &out, QIODevice &err)
{
    if (!log.warning.isEmpty())
        say(err, QStringLiteral("morvel2 : %1\n").arg(log.warning));
    const QString destinationName = QDir::toNativeSeparators(QDir::current().absoluteFilePath(file));
    if (log.pupilLogs)
        return collectPupils(*log.pupilLogs, destinationName, out, err);
    if (log.perPupil) {
        say(err, QStringLiteral("morvel2 : le réglage range chaque élève dans un dossier à son nom ; --collect ne "
                                "recueille une classe que si %u est dans le nom du fichier "
                                "(par exemple /srv/classe/%u.txt).\n"));
        return 1;
    }
    const logfile::CollectOutcome outcome = logfile::collectLog(log.path, localPath(destinationName));
    const QString logName = displayPath(log.path);
    if (outcome.destinationExists) {
        say(err, QStringLiteral("morvel2 : %1 existe déjà ; rien n'a été déplacé.\n").arg(destinationName));
        return 1;
    }
    if (!outcome.ok && outcome.destinationAtFault) {
        say(err, QStringLiteral("morvel2 : impossible d'écrire %1 : %2 ; le fichier de résultats %3 reste en place.\n")
                     .arg(destinationName, QString::fromStdString(outcome.reason), logName));
        return 1;
    }
    if (!outcome.ok) {
        say(err, QStringLiteral("morvel2 : impossible de recueillir %1 : %2\n")
                     .arg(logName, QString::fromStdString(outcome.reason)));
        return 1;
    }
    if (outcome.noLog) {
        say(out, QStringLiteral("Aucun résultat à recueillir : %1 n'existe pas.\n").arg(logName));
        return 0;
    }
    const QString collected = outcome.records == 1
                                  ? QStringLiteral("1 résultat recueilli")
                                  : QStringLiteral("%1 résultats recueillis").arg(outcome.records);
    say(out, collected + QStringLiteral(" dans %1.\n").arg(destinationName));
    return 0;
}

} // namespace

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(pathText(argv[i]));
    return arguments;
}

std::optional<int> runCommandLine(const QStringList &arguments, const LogLocation &log, QIODevice &out,
                                  QIODevice &err)
{
    if (arguments.size() <= 1)
        return std::nullopt;
    QCommandLineParser parser;
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    const QCommandLineOption collectOption(QStringLiteral("collect"), QString(), QStringLiteral("FICHIER"));
    const QCommandLineOption bilanOption(QStringLiteral("bilan"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), QString(), QStringLiteral("FICHIER"));
    parser.addOptions({helpOption, versionOption, collectOption, bilanOption, csvOption});
    const QString tryHelp = QStringLiteral("Essayez « morvel2 --help ».\n");
    if (!parser.parse(arguments)) {
        say(err, QStringLiteral("morvel2 : %1\n").arg(misuse(parser)) + tryHelp);
        return 2;
    }
    // Given twice, or given an option in place of its file ("--collect --"),
    // an option is a mistake to say, not to guess at.
    for (const QCommandLineOption *option : {&collectOption, &csvOption}) {
        const QStringList values = parser.values(*option);
        const QString name = QStringLiteral("--") + option->names().first();
        if (values.size() > 1) {
            say(err, QStringLiteral("morvel2 : l'option %1 ne se donne qu'une fois.\n").arg(name) + tryHelp);
            return 2;
        }
        if (!values.isEmpty() && values.first().startsWith(u'-')) {
            say(err, QStringLiteral("morvel2 : l'option %1 demande un nom de fichier, pas « %2 ».\n")
                         .arg(name, values.first())
                     + tryHelp);
            return 2;
        }
    }
    // Arguments that ask for nothing ("--" alone) must not open the window.
    if (parser.optionNames().isEmpty() && parser.positionalArguments().isEmpty()) {
        say(err, QStringLiteral("morvel2 : argument inattendu : %1\n").arg(arguments.at(1)) + tryHelp);
        return 2;
    }
    const bool bilan = parser.isSet(bilanOption) && !parser.isSet(helpOption) && !parser.isSet(versionOption);
    if (bilan && parser.positionalArguments().isEmpty()) {
        say(err, QStringLiteral("morvel2 : l'option --bilan demande au moins un fichier ou un dossier.\n") + tryHelp);
        return 2;
    }
    if (bilan && parser.isSet(collectOption)) {
        say(err, QStringLiteral("morvel2 : --collect et --bilan ne vont pas ensemble.\n") + tryHelp);
        return 2;
    }
    if (parser.isSet(csvOption) && !parser.isSet(bilanOption)) {
        say(err, QStringLiteral("morvel2 : l'option --csv ne va qu'avec --bilan.\n") + tryHelp);
        return 2;
    }
    if (!bilan && !parser.positionalArguments().isEmpty()) {
        say(err, QStringLiteral("morvel2 : argument inattendu : %1\n").arg(parser.positionalArguments().first())
                     + tryHelp);
        return 2;
    }
    if (parser.isSet(helpOption)) {
        say(out, help().arg(displayPath(log.path)));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        say(out, QStringLiteral("morvel2 %1\n").arg(QStringLiteral(MORVEL2_VERSION)));
        return 0;
    }
    if (parser.isSet(collectOption))
        return collect(log, parser.value(collectOption), out, err);
    return runBilan(parser.positionalArguments(), parser.value(csvOption), out, err);
}
