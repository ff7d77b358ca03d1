#include "cli/commandline.h"

#include "cli/bilancommand.h"
#include "cli/collectcommand.h"
#include "cli/exercisecommand.h"
#include "cli/say.h"
#include "cli/verifycommand.h"
#include "saving/logpaths.h"
#include "paths/paths.h"

#include <QCommandLineParser>
#include <QDir>
#include <QIODevice>

namespace {

QString help()
{
    return QStringLiteral(
        "Utilisation : morvel2 [option]\n"
        "              morvel2 --bilan CHEMIN... [--csv FICHIER] [--exercice FICHIER]...\n"
        "              morvel2 --classe [CHEMIN...]\n"
        "              morvel2 --exercice FICHIER\n"
        "Exercice de compréhension de lecture. Sans option, l'exercice s'ouvre.\n"
        "\n"
        "Options :\n"
        "  --classe [CHEMIN...]  ouvre la fenêtre « Résultats de la classe » sur le\n"
        "                     dossier de la classe ou le fichier de résultats de ce\n"
        "                     poste, ou sur chaque CHEMIN ; n'enregistre rien\n"
        "  --bilan CHEMIN...  affiche le bilan de la classe : chaque CHEMIN est un\n"
        "                     fichier de résultats ou le dossier de la classe, où\n"
        "                     chaque élève a son fichier (%2) ; une partie par\n"
        "                     exercice, celui du dernier essai d'abord\n"
        "  --csv FICHIER      avec --bilan, écrit aussi chaque essai dans FICHIER pour\n"
        "                     un tableur ; FICHIER ne doit pas exister\n"
        "  --exercice FICHIER  ouvre l'exercice écrit dans FICHIER, comme l'élève le\n"
        "                     trouve ; sa forme est décrite dans exercices.md ; avec\n"
        "                     --bilan, lit aussi les résultats de cet exercice (ceux\n"
        "                     du dossier des exercices le sont toujours)\n"
        "  --collect FICHIER  déplace le fichier de résultats vers FICHIER, sans perdre\n"
        "                     un résultat enregistré au même moment ; FICHIER ne doit\n"
        "                     pas exister ; le prochain résultat commence un nouveau\n"
        "                     fichier\n"
        "  --collect DOSSIER  quand chaque élève a son fichier (%u dans le réglage) :\n"
        "                     déplace les fichiers de toute la classe dans DOSSIER,\n"
        "                     chacun sous son nom\n"
        "  --verifier         dit où vont les résultats de ce compte et si cet endroit\n"
        "                     est sûr (pour le technicien et le professeur)\n"
        "  -h, --help         affiche cette aide\n"
        "  --version          affiche la version\n"
        "\n"
        "Le fichier de résultats : %1\n");
}

QString tryHelp()
{
    return QStringLiteral("Essayez « morvel2 --help ».\n");
}

struct Options
{
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{QStringLiteral("version")};
    QCommandLineOption collect{QStringLiteral("collect"), QString(), QStringLiteral("FICHIER")};
    QCommandLineOption bilan{QStringLiteral("bilan")};
    QCommandLineOption csv{QStringLiteral("csv"), QString(), QStringLiteral("FICHIER")};
    QCommandLineOption verify{QStringLiteral("verifier")};
    QCommandLineOption classe{QStringLiteral("classe")};
    QCommandLineOption exercice{QStringLiteral("exercice"), QString(), QStringLiteral("FICHIER")};
};

// "--bilan=cm1" as "--bilan cm1": the options that take paths take them
// either way.
QStringList withPathsApart(const QStringList &arguments)
{
    QStringList apart;
    for (const QString &argument : arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        const QString option = argument.left(equals);
        if (equals > 0 && apart.size() > 0 && (option == u"--bilan" || option == u"--classe"))
            apart << option << argument.mid(equals + 1);
        else
            apart << argument;
    }
    return apart;
}

// Given twice, or given an option in place of its file ("--collect --"),
// an option is a mistake to say, not to guess at.
QString valueMistake(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    const QStringList values = parser.values(option);
    const QString name = QStringLiteral("--") + option.names().first();
    if (values.size() > 1)
        return QStringLiteral("l'option %1 ne se donne qu'une fois.").arg(name);
    if (!values.isEmpty() && values.first().startsWith(u'-'))
        return QStringLiteral("l'option %1 demande un nom de fichier, pas « %2 ».").arg(name, values.first());
    return {};
}

// What is wrong with arguments the parser took, in French; empty when
// nothing is.
QString mistakeIn(const QCommandLineParser &parser, const Options &options, const QStringList &arguments)
{
    for (const QCommandLineOption *option : {&options.collect, &options.csv, &options.exercice}) {
        // With --bilan, each exercise file is named by an --exercice of its own.
        if (option == &options.exercice && parser.isSet(options.bilan)) {
            for (const QString &file : parser.values(*option))
                if (file.startsWith(u'-'))
                    return QStringLiteral("l'option --exercice demande un nom de fichier, pas « %1 ».").arg(file);
            continue;
        }
        if (const QString mistake = valueMistake(parser, *option); !mistake.isEmpty())
            return mistake;
    }
    const QStringList paths = parser.positionalArguments();
    // Arguments that ask for nothing ("--" alone) must not open the window.
    if (parser.optionNames().isEmpty() && paths.isEmpty())
        return QStringLiteral("argument inattendu : %1").arg(arguments.at(1));
    const bool bilan =
        parser.isSet(options.bilan) && !parser.isSet(options.help) && !parser.isSet(options.version);
    if (bilan && paths.isEmpty())
        return QStringLiteral("l'option --bilan demande au moins un fichier ou un dossier.");
    if (bilan && parser.isSet(options.collect))
        return QStringLiteral("--collect et --bilan ne vont pas ensemble.");
    if (parser.isSet(options.verify) && (parser.isSet(options.collect) || parser.isSet(options.bilan)))
        return QStringLiteral("--verifier se donne seul.");
    if (parser.isSet(options.classe))
        return QStringLiteral("--classe se donne seul, suivi des chemins à ouvrir.");
    if (parser.isSet(options.exercice) && !parser.isSet(options.bilan))
        return QStringLiteral("--exercice se donne seul, suivi du fichier de l'exercice.");
    if (parser.isSet(options.csv) && !parser.isSet(options.bilan))
        return QStringLiteral("l'option --csv ne va qu'avec --bilan.");
    if (!bilan && !paths.isEmpty())
        return QStringLiteral("argument inattendu : %1").arg(paths.first());
    return {};
}

QString misuse(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) {
        const QString error = parser.errorText();
        return QStringLiteral("l'option %1 demande un nom de fichier.")
            .arg(error.contains(QLatin1String("csv"))        ? QStringLiteral("--csv")
                 : error.contains(QLatin1String("exercice")) ? QStringLiteral("--exercice")
                                                             : QStringLiteral("--collect"));
    }
    const QString name = unknown.first();
    const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
    return QStringLiteral("option inconnue : %1%2").arg(dashes, name);
}

} // namespace

QStringList commandLineArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(pathText(argv[i]));
    return arguments;
}

std::optional<QStringList> classWindowPaths(const QStringList &arguments)
{
    QStringList paths;
    bool classe = false;
    bool onlyPaths = false;
    for (const QString &argument : withPathsApart(arguments).mid(1)) {
        if (!onlyPaths && argument == u"--")
            onlyPaths = true;
        else if (!onlyPaths && argument == u"--classe" && !classe)
            classe = true;
        else if (!onlyPaths && argument.startsWith(u'-'))
            return std::nullopt; // another option: runCommandLine() says what is wrong
        else
            paths.append(argument);
    }
    return classe ? std::optional<QStringList>(paths) : std::nullopt;
}

std::optional<int> runCommandLine(const QStringList &givenArguments, const LogLocation &log, QIODevice &out,
                                  QIODevice &err)
{
    // The exercise's window reads its file and says what is wrong with it.
    if (givenArguments.size() <= 1 || exerciseFileArgument(givenArguments))
        return std::nullopt;
    const QStringList arguments = withPathsApart(givenArguments);
    const Options options;
    QCommandLineParser parser;
    parser.addOptions({options.help, options.version, options.collect, options.bilan, options.csv, options.verify,
                       options.classe, options.exercice});
    if (!parser.parse(arguments)) {
        complain(err, misuse(parser) + u'\n' + tryHelp());
        return 2;
    }
    if (const QString mistake = mistakeIn(parser, options, arguments); !mistake.isEmpty()) {
        complain(err, mistake + u'\n' + tryHelp());
        return 2;
    }
    if (parser.isSet(options.help)) {
        const LogNaming naming = namingFor(log);
        say(out, help().arg(displayPath(log.path), naming.prefix + QStringLiteral("NOM") + naming.suffix));
        return 0;
    }
    if (parser.isSet(options.version)) {
        say(out, QStringLiteral("morvel2 %1\n").arg(QStringLiteral(MORVEL2_VERSION)));
        return 0;
    }
    if (parser.isSet(options.verify))
        return runVerify(log, rescueLogPath(), out);
    if (parser.isSet(options.collect))
        return runCollect(log, parser.value(options.collect), out, err);
    return runBilan(parser.positionalArguments(), parser.value(options.csv), namingFor(log), out, err,
                    machineExerciseLookup(parser.values(options.exercice)));
}
