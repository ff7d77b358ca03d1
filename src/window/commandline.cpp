#include "window/commandline.h"

#include "results/appendfile.h"
#include "results/logpaths.h"
#include "results/logsetting.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStringList>

#include <cstdio>

namespace {

void say(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString help()
{
    return QStringLiteral(
        "Utilisation : morvel2 [option]\n"
        "Exercice de compréhension de lecture. Sans option, l'exercice s'ouvre.\n"
        "\n"
        "Options :\n"
        "  --collect FICHIER  déplace le fichier de résultats vers FICHIER, sans perdre\n"
        "                     un résultat enregistré au même moment ; FICHIER ne doit\n"
        "                     pas exister ; le prochain résultat commence un nouveau\n"
        "                     fichier\n"
        "  -h, --help         affiche cette aide\n"
        "  --version          affiche la version\n"
        "\n"
        "Le fichier de résultats : %1\n");
}

int collect(const QString &file)
{
    const LogLocation log = resultsLogLocation();
    if (!log.warning.isEmpty())
        say(stderr, QStringLiteral("morvel2 : %1\n").arg(log.warning));
    const QString destinationName = QDir::toNativeSeparators(QDir::current().absoluteFilePath(file));
    const logfile::CollectOutcome outcome = logfile::collectLog(log.path, localPath(destinationName));
    const QString logName = displayPath(log.path);
    if (outcome.destinationExists) {
        say(stderr, QStringLiteral("morvel2 : %1 existe déjà ; rien n'a été déplacé.\n").arg(destinationName));
        return 1;
    }
    if (!outcome.ok) {
        say(stderr, QStringLiteral("morvel2 : impossible de recueillir %1 : %2\n")
                        .arg(logName, QString::fromStdString(outcome.reason)));
        return 1;
    }
    if (outcome.noLog) {
        say(stdout, QStringLiteral("Aucun résultat à recueillir : %1 n'existe pas.\n").arg(logName));
        return 0;
    }
    const QString collected = outcome.records == 1 ? QStringLiteral("1 résultat recueilli")
                                                   : QStringLiteral("%1 résultats recueillis").arg(outcome.records);
    say(stdout, collected + QStringLiteral(" dans %1.\n").arg(destinationName));
    return 0;
}

} // namespace

std::optional<int> runCommandLine(int argc, char *argv[])
{
    if (argc <= 1)
        return std::nullopt;
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    const QCommandLineOption collectOption(QStringLiteral("collect"), QString(), QStringLiteral("FICHIER"));
    parser.addOptions({helpOption, versionOption, collectOption});
    const QString tryHelp = QStringLiteral("Essayez « morvel2 --help ».\n");
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString name = unknown.isEmpty() ? QString() : unknown.first();
        say(stderr, unknown.isEmpty()
                        ? QStringLiteral("morvel2 : l'option --collect demande un nom de fichier.\n") + tryHelp
                        : QStringLiteral("morvel2 : option inconnue : %1%2\n").arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name) + tryHelp);
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        say(stderr, QStringLiteral("morvel2 : argument inattendu : %1\n").arg(parser.positionalArguments().first())
                        + tryHelp);
        return 2;
    }
    if (parser.isSet(helpOption)) {
        say(stdout, help().arg(displayPath(resultsLogLocation().path)));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        say(stdout, QStringLiteral("morvel2 %1\n").arg(QStringLiteral(MORVEL2_VERSION)));
        return 0;
    }
    if (parser.isSet(collectOption))
        return collect(parser.value(collectOption));
    return std::nullopt;
}
