#include "app/windowlaunch.h"
#include "cli/commandline.h"
#include "cli/exercisecommand.h"
#include "classrecords.h"
#include "exercisefile/exercisewriter.h"
#include "longexercise.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#ifndef Q_OS_WIN
#include "logfile/posixacl.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

// The command line as a technician or a teacher uses it: what each set of
// arguments answers, with which status, and what it does to the results log.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void arguments_data();
    void arguments();
    void helpNamesTheLog_data();
    void helpNamesTheLog();
    void bilan_data();
    void bilan();
    void collectIntoANameInOtherBytes();
    void verifier_data();
    void verifier();
    void classWindowPaths_data();
    void classWindowPaths();
    void exerciseFile_data();
    void exerciseFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCommandLine::init()
{
    // In the test's own home, not in /tmp: --verifier rightly finds a folder
    // an ordinary account made in /tmp unsafe, where anybody may make one.
    m_dir = std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("tst_commandline-XXXXXX")));
    QVERIFY(m_dir->isValid());
}

namespace {

const QByteArray record = recordFor({"3", "4", "1", "2"});
const QString tryHelp = QStringLiteral("Essayez « morvel2 --help ».\n");
// What --collect leaves at the log's place: Linux moves the log away, Windows
// empties it in place (a waiting writer may hold it open).
#ifdef Q_OS_WIN
const QByteArray collectedLog = "";
#else
const QByteArray collectedLog = "-";
#endif

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

} // namespace

void TestCommandLine::arguments_data()
{
    // In the texts, LOG and DEST stand for the log's and the destination's
    // paths; "-" for a file that is not there.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("logBefore");
    QTest::addColumn<QByteArray>("destinationBefore");
    QTest::addColumn<int>("status"); // -1: the exercise starts
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QByteArray>("logAfter");
    QTest::addColumn<QByteArray>("destinationAfter");

    const QByteArray two = record + record;
    QTest::newRow("none: the exercise") << QStringList{} << two << QByteArray("-") << -1 << "" << "" << two
                                        << QByteArray("-");
    QTest::newRow("--version") << QStringList{"--version"} << two << QByteArray("-") << 0
                               << "morvel2 " MORVEL2_VERSION "\n" << "" << two << QByteArray("-");
    QTest::newRow("unknown option") << QStringList{"--resultats"} << two << QByteArray("-") << 2 << ""
                                    << "morvel2 : option inconnue : --resultats\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("unknown short option") << QStringList{"-x"} << two << QByteArray("-") << 2 << ""
                                          << "morvel2 : option inconnue : -x\n" + tryHelp << two << QByteArray("-");
    // A toolkit option a launcher adds must not change what the pupil sees.
    QTest::newRow("toolkit option") << QStringList{"-reverse"} << two << QByteArray("-") << 2 << ""
                                    << "morvel2 : option inconnue : -r\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("argument") << QStringList{"DEST"} << two << QByteArray("-") << 2 << ""
                              << "morvel2 : argument inattendu : DEST\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("--collect without a file")
        << QStringList{"--collect"} << two << QByteArray("-") << 2 << ""
        << "morvel2 : l'option --collect demande un nom de fichier.\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("--collect") << QStringList{"--collect", "DEST"} << two << QByteArray("-") << 0
                               << "2 résultats recueillis dans DEST.\n" << "" << collectedLog << two;
    QTest::newRow("--collect one") << QStringList{"--collect", "DEST"} << record << QByteArray("-") << 0
                                   << "1 résultat recueilli dans DEST.\n" << "" << collectedLog << record;
    QTest::newRow("--collect without a log")
        << QStringList{"--collect", "DEST"} << QByteArray("-") << QByteArray("-") << 0
        << "Aucun résultat à recueillir : LOG n'existe pas.\n" << "" << QByteArray("-") << QByteArray("-");
    QTest::newRow("--collect onto a file")
        << QStringList{"--collect", "DEST"} << two << QByteArray("relevé\r\n") << 1 << ""
        << "morvel2 : DEST existe déjà ; rien n'a été déplacé.\n" << two << QByteArray("relevé\r\n");
    QTest::newRow("--collect twice") << QStringList{"--collect", "DEST", "--collect", "autre.txt"} << two
                                     << QByteArray("-") << 2 << ""
                                     << "morvel2 : l'option --collect ne se donne qu'une fois.\n" + tryHelp << two
                                     << QByteArray("-");
    QTest::newRow("--collect --") << QStringList{"--collect", "--"} << two << QByteArray("-") << 2 << ""
                                  << "morvel2 : l'option --collect demande un nom de fichier, pas « -- ».\n" + tryHelp
                                  << two << QByteArray("-");
    QTest::newRow("-- alone") << QStringList{"--"} << two << QByteArray("-") << 2 << ""
                              << "morvel2 : argument inattendu : --\n" + tryHelp << two << QByteArray("-");
    // The destination's fault named as such, in French whatever the locale.
    QTest::newRow("--collect into a missing folder")
        << QStringList{"--collect", "DEST/../absent/releve.txt"} << two << QByteArray("-") << 1 << ""
        << "morvel2 : impossible d'écrire DEST" + QDir::toNativeSeparators(QStringLiteral("/../absent/releve.txt"))
               + " : le fichier ou un dossier du chemin n'existe pas ; le fichier de résultats LOG reste en place.\n"
        << two << QByteArray("-");
    QTest::newRow("--exercice FILE: the window reads it") << QStringList{"--exercice", "DEST"} << two
                                                          << QByteArray("-") << -1 << "" << "" << two << QByteArray("-");
    QTest::newRow("--exercice without a file")
        << QStringList{"--exercice"} << two << QByteArray("-") << 2 << ""
        << "morvel2 : l'option --exercice demande un nom de fichier.\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("--exercice with another option")
        << QStringList{"--exercice", "DEST", "--collect", "LOG"} << two << QByteArray("-") << 2 << ""
        << "morvel2 : --exercice se donne seul, suivi du fichier de l'exercice.\n" + tryHelp << two << QByteArray("-");
    QTest::newRow("--exercice --") << QStringList{"--exercice", "--"} << two << QByteArray("-") << 2 << ""
                                   << "morvel2 : l'option --exercice demande un nom de fichier, pas « -- ».\n" + tryHelp
                                   << two << QByteArray("-");
    QTest::newRow("--collect and --version") << QStringList{"--version", "--collect", "DEST"} << two
                                             << QByteArray("-") << 0 << "morvel2 " MORVEL2_VERSION "\n" << ""
                                             << two << QByteArray("-");
}

void TestCommandLine::arguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, logBefore);
    QFETCH(QByteArray, destinationBefore);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QByteArray, logAfter);
    QFETCH(QByteArray, destinationAfter);
    const QString log = m_dir->filePath(QStringLiteral("estest.txt"));
    const QString destination = m_dir->filePath(QStringLiteral("relevé.txt"));
    const auto named = [&](QString text) {
        return text.replace(QLatin1String("LOG"), QDir::toNativeSeparators(log))
            .replace(QLatin1String("DEST"), QDir::toNativeSeparators(destination));
    };
    if (logBefore != "-")
        write(log, logBefore);
    if (destinationBefore != "-")
        write(destination, destinationBefore);
    QStringList line{QStringLiteral("morvel2")};
    for (const QString &argument : std::as_const(arguments))
        line.append(named(argument));
    QBuffer said;
    QBuffer complained;
    QVERIFY(said.open(QIODevice::WriteOnly));
    QVERIFY(complained.open(QIODevice::WriteOnly));

    const std::optional<int> ended =
        runCommandLine(line, {QFile::encodeName(log).toStdString(), {}, false, std::nullopt, {}}, said, complained);

    QCOMPARE(ended.value_or(-1), status);
    QCOMPARE(QString::fromUtf8(said.data()), named(out));
    QCOMPARE(QString::fromUtf8(complained.data()), named(err));
    QCOMPARE(contents(log), logAfter);
    QCOMPARE(contents(destination), destinationAfter);
}

void TestCommandLine::helpNamesTheLog_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("--help") << "--help";
    QTest::newRow("-h") << "-h";
}

void TestCommandLine::helpNamesTheLog()
{
    QFETCH(QString, option);
    const QString log = m_dir->filePath(QStringLiteral("élèves/estest.txt"));
    QBuffer said;
    QBuffer complained;
    QVERIFY(said.open(QIODevice::WriteOnly));
    QVERIFY(complained.open(QIODevice::WriteOnly));

    const std::optional<int> ended = runCommandLine({QStringLiteral("morvel2"), option},
                                                    {QFile::encodeName(log).toStdString(), {}, false, std::nullopt, {}}, said, complained);

    QCOMPARE(ended, std::optional<int>(0));
    const QString help = QString::fromUtf8(said.data());
    QVERIFY2(help.startsWith(QStringLiteral("Utilisation : morvel2 [option]\n")), qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("--collect FICHIER")), qPrintable(help));
    QVERIFY2(help.contains(QStringLiteral("--exercice FICHIER  ouvre l'exercice écrit dans FICHIER")), qPrintable(help));
    QVERIFY2(help.endsWith(QStringLiteral("Le fichier de résultats : %1\n").arg(QDir::toNativeSeparators(log))),
             qPrintable(help));
    QVERIFY(complained.data().isEmpty());
}

void TestCommandLine::bilan_data()
{
    // CLASS: a folder of two pupils' logs; EMPTY: an empty folder; MISSING:
    // nothing; CSV: where the spreadsheet goes, EXISTING: a file there already.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // what standard output contains
    QTest::addColumn<QString>("err");
    QTest::addColumn<int>("csvRows"); // -1: no spreadsheet written

    const QString tryAgain = tryHelp;
    const QString notes = QStringLiteral("morvel2 : ignoré : CLASS") + QDir::separator() + QStringLiteral("notes.md\n");
    QTest::newRow("a class folder") << QStringList{"--bilan", "CLASS"} << 0 << "Bilan : 2 élèves, 3 essais\n" << notes
                                    << -1;
    // Léo alone missed ideas 2 and 3: the sentence names both, as the window and the page do.
    QTest::newRow("ideas tied for most missed")
        << QStringList{"--bilan", "CLASS"} << 0
        << "Les idées les plus manquées, chacune par 1 élève sur 2, sont l'idée 2, « Un\npersonnage inoubliable » (1 "
           "l'a confondue avec le paragraphe 1) et l'idée 3, «\nLa présentation de Dorvé » (1 l'a laissée sans réponse).\n"
        << notes << -1;
    // One file may mix pupils: each attempt a row, never one pupil.
    const QString attempts = QStringLiteral("Chaque essai dans l'ordre du fichier, qui peut mêler plusieurs élèves :\n"
                                            "   essai  idée 1  idée 2  idée 3  idée 4  score\n"
                                            "       1  1 ✗     1 ✗     2 ✗     1 ✗       0/4\n"
                                            "       2  3 ✓     4 ✓     1 ✓     2 ✓       4/4\n");
    QTest::newRow("one pupil's log") << QStringList{"--bilan", "CLASS/zoé.txt"} << 0 << attempts << "" << -1;
    QTest::newRow("--bilan=FILE") << QStringList{"--bilan=CLASS/zoé.txt"} << 0 << attempts << "" << -1;
    QTest::newRow("--bilan=FOLDER") << QStringList{"--bilan=CLASS"} << 0 << "Bilan : 2 élèves, 3 essais\n" << notes
                                    << -1;
    // Files named together (a shell's CLASS/*) are a folder's: the rule takes the logs.
    QTest::newRow("files named together")
        << QStringList{"--bilan", "CLASS/zoé.txt", "CLASS/notes.md", "CLASS/léo.txt"} << 0
        << "Bilan : 2 élèves, 3 essais\n" << notes << -1;
    QTest::newRow("--classe with --bilan") << QStringList{"--classe", "--bilan", "CLASS"} << 2 << ""
                                           << "morvel2 : --classe se donne seul, suivi des chemins à ouvrir.\n" + tryAgain
                                           << -1;
#ifndef Q_OS_WIN
    // The teacher's own link: followed, where one found in a class folder is not.
    QTest::newRow("a link the teacher named") << QStringList{"--bilan", "LINK"} << 0 << attempts << "" << -1;
    // One found in a class folder: named, not read, and the table incomplete.
    QTest::newRow("a link in a class folder")
        << QStringList{"--bilan", "LINKED"} << 1 << "Bilan : 1 élève, 1 essai\n"
        << "morvel2 : impossible de lire LINKED/zoé.txt : c'est un lien symbolique\n" << -1;
#endif
    QTest::newRow("a path that is not there")
        << QStringList{"--bilan", "CLASS", "MISSING"} << 1 << "Bilan : 2 élèves, 3 essais\n"
        << notes + "morvel2 : impossible de lire MISSING : il n'existe pas\n" << -1;
    QTest::newRow("an empty folder") << QStringList{"--bilan", "EMPTY"} << 0 << "Aucun résultat.\n"
                                     << "" << -1;
    QTest::newRow("no path") << QStringList{"--bilan"} << 2 << ""
                             << "morvel2 : l'option --bilan demande au moins un fichier ou un dossier.\n" + tryAgain
                             << -1;
    QTest::newRow("--bilan with --collect")
        << QStringList{"--bilan", "CLASS", "--collect", "CSV"} << 2 << ""
        << "morvel2 : --collect et --bilan ne vont pas ensemble.\n" + tryAgain << -1;
    QTest::newRow("--csv alone") << QStringList{"--csv", "CSV"} << 2 << ""
                                 << "morvel2 : l'option --csv ne va qu'avec --bilan.\n" + tryAgain << -1;
    QTest::newRow("--csv") << QStringList{"--bilan", "CLASS", "--csv", "CSV"} << 0
                           << "Tableau pour tableur écrit dans CSV.\n" << notes << 4;
    QTest::newRow("--csv onto a file") << QStringList{"--bilan", "CLASS", "--csv", "EXISTING"} << 1 << ""
                                       << notes + "morvel2 : EXISTING existe déjà ; rien n'a été écrit.\n" << -1;
    // MIXED: zoé did the built-in exercise, then the teacher's EXFILE; léo, EXFILE.
    QTest::newRow("two exercises apart, the latest first")
        << QStringList{"--bilan", "MIXED", "--exercice", "EXFILE"} << 0
        << "Exercice 311 – Le phare de Kerbrune (11 idées)\nBilan : 2 élèves, 2 essais\n" << "" << -1;
    QTest::newRow("then the one before")
        << QStringList{"--bilan", "MIXED", "--exercice", "EXFILE"} << 0
        << "\nExercice 202 – Morvel-sens paragraphes:(3412) (4 idées)\nBilan : 1 élève, 1 essai\n" << "" << -1;
    QTest::newRow("an exercise whose file is not at hand")
        << QStringList{"--bilan", "MIXED"} << 0
        << "Exercice 311 – Le phare de Kerbrune (exercice inconnu)\n" << "" << -1;
    QTest::newRow("an exercise file that is none")
        << QStringList{"--bilan", "MIXED", "--exercice", "NOEXERCISE"} << 0
        << "Exercice 311 – Le phare de Kerbrune (exercice inconnu)\n"
        << "morvel2 : exercice laissé de côté : NOEXERCISE n'est pas un exercice valable : le fichier ne peut pas "
           "être lu : il n'existe pas\n"
        << -1;
    QTest::newRow("--csv of two exercises")
        << QStringList{"--bilan", "MIXED", "--exercice", "EXFILE", "--csv", "CSV"} << 0
        << "Tableau pour tableur écrit dans CSV.\n" << "" << 4;
}

void TestCommandLine::bilan()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, said);
    QFETCH(QString, err);
    QFETCH(int, csvRows);
    const QString classFolder = m_dir->filePath(QStringLiteral("classe"));
    QVERIFY(QDir().mkpath(classFolder));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("vide"))));
    write(classFolder + QStringLiteral("/zoé.txt"), recordFor({"1", "1", "2", "1"}) + recordFor({"3", "4", "1", "2"}));
    write(classFolder + QStringLiteral("/léo.txt"), recordFor({"3", "1", "", "2"}));
    write(classFolder + QStringLiteral("/notes.md"), "pas un journal\n");
    write(m_dir->filePath(QStringLiteral("existant.csv")), "à garder\r\n");
    QFile::link(classFolder + QStringLiteral("/zoé.txt"), m_dir->filePath(QStringLiteral("lien.txt")));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("avec-lien"))));
    write(m_dir->filePath(QStringLiteral("avec-lien/léo.txt")), recordFor({"3", "1", "", "2"}));
    QFile::link(classFolder + QStringLiteral("/zoé.txt"), m_dir->filePath(QStringLiteral("avec-lien/zoé.txt")));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("melange"))));
    write(m_dir->filePath(QStringLiteral("phare.txt")), exerciseFileText(longExercise()));
    const QByteArray phare = recordFor(longExercise(), {"5", "3", "7", "2", "9", "6", "1", "4", "8", "2", "6"});
    write(m_dir->filePath(QStringLiteral("melange/zoé.txt")), recordFor({"3", "4", "1", "2"}) + phare);
    write(m_dir->filePath(QStringLiteral("melange/léo.txt")), phare);
    // Paths as the program names them: with the system's own separators.
    const auto native = [&](const QString &name) { return QDir::toNativeSeparators(m_dir->filePath(name)); };
    const auto named = [&](QString text) {
        return text.replace(QLatin1String("MIXED"), native(QStringLiteral("melange")))
            .replace(QLatin1String("EXFILE"), native(QStringLiteral("phare.txt")))
            .replace(QLatin1String("NOEXERCISE"), native(QStringLiteral("absent.txt")))
            .replace(QLatin1String("CLASS"), native(QStringLiteral("classe")))
            .replace(QLatin1String("LINKED"), native(QStringLiteral("avec-lien")))
            .replace(QLatin1String("LINK"), native(QStringLiteral("lien.txt")))
            .replace(QLatin1String("EMPTY"), native(QStringLiteral("vide")))
            .replace(QLatin1String("MISSING"), native(QStringLiteral("absent")))
            .replace(QLatin1String("EXISTING"), native(QStringLiteral("existant.csv")))
            .replace(QLatin1String("CSV"), native(QStringLiteral("classe.csv")));
    };
    QStringList line{QStringLiteral("morvel2")};
    for (const QString &argument : std::as_const(arguments))
        line.append(named(argument));
    QBuffer out;
    QBuffer complained;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(complained.open(QIODevice::WriteOnly));

    QCOMPARE(runCommandLine(line, {}, out, complained), std::optional<int>(status));
    QVERIFY2(QString::fromUtf8(out.data()).contains(named(said)), out.data().constData());
    QCOMPARE(QString::fromUtf8(complained.data()), named(err));
    const QByteArray csv = contents(m_dir->filePath(QStringLiteral("classe.csv")));
    QCOMPARE(csv == "-" ? -1 : int(csv.count("\r\n")), csvRows);
#ifndef Q_OS_WIN
    // A class's answers are the teacher's business alone.
    if (csv != "-")
        QCOMPARE(QFile::permissions(m_dir->filePath(QStringLiteral("classe.csv"))),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
#endif
    QCOMPARE(contents(m_dir->filePath(QStringLiteral("existant.csv"))), QByteArray("à garder\r\n"));
}

// A teacher's shell in a Latin-1 locale gives a name that is not UTF-8: the
// collected file gets that very name.
void TestCommandLine::collectIntoANameInOtherBytes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows gives file names in UTF-16: there are no bytes to keep");
#endif
    const QString log = m_dir->filePath(QStringLiteral("estest.txt"));
    write(log, "202 x\r\n");
    QByteArray destination = QFile::encodeName(m_dir->path()) + "/rel\xe9ve.txt";
    QByteArray program = "morvel2";
    QByteArray option = "--collect";
    char *argv[] = {program.data(), option.data(), destination.data()};
    QBuffer said;
    QBuffer complained;
    QVERIFY(said.open(QIODevice::WriteOnly));
    QVERIFY(complained.open(QIODevice::WriteOnly));

    const std::optional<int> ended =
        runCommandLine(commandLineArguments(3, argv), {QFile::encodeName(log).toStdString(), {}, false, std::nullopt, {}},
                       said, complained);

    QCOMPARE(ended.value_or(-1), 0);
    // Qt could not remove it with the folder: it would read another name.
    QVERIFY(std::filesystem::remove(std::filesystem::path(destination.toStdString())));
}

void TestCommandLine::verifier_data()
{
    // FOLDER stands for the class folder, LOG for this account's log in it.
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("says");
#ifndef Q_OS_WIN
    // Run by the teacher: the folder is the teacher's.
    QTest::newRow("the teacher's own class folder")
        << "own" << 1
        << QStringList{"Le dossier FOLDER est le vôtre : c'est celui de la classe, dont vous êtes le professeur.\n"
                       "Vu de ce compte, il est bien fait.\n"
                       "Cette vérification dit si les résultats d'un élève y sont à l'abri lancée depuis le compte "
                       "d'un élève : « morvel2 --verifier » dans sa session.\n",
                       "Vos propres exercices, faits avec ce compte, iraient dans le fichier de secours"};
    QTest::newRow("a class folder with a default ACL for the pupils")
        << "default" << 0
        << QStringList{"Essai : le fichier a pu être créé, ouvert pour y ajouter et verrouillé, puis retiré.\n"
                       "Cet emplacement est sûr.\n"
                       "La liste de droits par défaut (ACL) du dossier FOLDER donnerait à chaque nouveau fichier des "
                       "droits pour le groupe 54321"};
#endif
}

// --verifier on a log per pupil in a class folder: the teacher's own, and
// one whose default list of rights would open new logs to the pupils (the
// rest with real accounts in reliability/classfolder.sh).
void TestCommandLine::verifier()
{
#ifdef Q_OS_WIN
    QSKIP("owners, modes and lists of rights of Linux; Windows' in windows_exercise");
#else
    QFETCH(QString, setUp);
    QFETCH(int, status);
    QFETCH(QStringList, says);
    const QString folder = m_dir->filePath(QStringLiteral("classe"));
    const QByteArray name = QFile::encodeName(folder);
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(::chmod(name.constData(), 03733), 0);
    if (setUp != QLatin1String("own") && (::geteuid() != 0 || ::chown(name.constData(), 65534, 65534) != 0))
        QSKIP("a class folder of another account's needs root");
    using namespace logfile::acl;
    const std::string pupilsRead =
        serialize({{userObj, 7, 0}, {groupObj, 3, 0}, {group, 5, 54321}, {mask, 7, 0}, {other, 3, 0}});
    if (setUp == QLatin1String("default")
        && ::setxattr(name.constData(), "system.posix_acl_default", pupilsRead.data(), pupilsRead.size(), 0) != 0)
        QSKIP("this file system keeps no lists of rights");
    const QString log = folder + QStringLiteral("/eleve.txt");
    QBuffer said;
    QBuffer complained;
    QVERIFY(said.open(QIODevice::WriteOnly));
    QVERIFY(complained.open(QIODevice::WriteOnly));

    const std::optional<int> ended = runCommandLine({QStringLiteral("morvel2"), QStringLiteral("--verifier")},
                                                    {QFile::encodeName(log).toStdString(), {}, true, std::nullopt, {}},
                                                    said, complained);

    QCOMPARE(ended, std::optional<int>(status));
    const QString text = QString::fromUtf8(said.data());
    for (QString line : std::as_const(says))
        QVERIFY2(text.contains(line.replace(QLatin1String("FOLDER"), folder).replace(QLatin1String("LOG"), log)),
                 qPrintable(text));
    // The trial leaves nothing behind.
    QVERIFY(!QFileInfo::exists(log));
#endif
}

// Which command lines open a window (the exercise, the teacher's window,
// which morvel2.com leaves to morvel2.exe) and which the command line answers.
void TestCommandLine::classWindowPaths_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QStringList>("paths"); // the teacher's window's
    QTest::newRow("nothing: the exercise") << QStringList{} << true << QStringList{};
    QTest::newRow("alone: this machine's class") << QStringList{"--classe"} << true << QStringList{};
    QTest::newRow("paths") << QStringList{"--classe", "cm1", "cm2"} << true << QStringList{"cm1", "cm2"};
    QTest::newRow("--classe=PATH") << QStringList{"--classe=cm1"} << true << QStringList{"cm1"};
    QTest::newRow("paths first") << QStringList{"cm1", "--classe"} << true << QStringList{"cm1"};
    QTest::newRow("a path that looks like an option") << QStringList{"--classe", "--", "-x"} << true
                                                      << QStringList{"-x"};
    QTest::newRow("--classe after -- is a path") << QStringList{"--", "--classe"} << false << QStringList{};
    QTest::newRow("with another option") << QStringList{"--classe", "--bilan", "cm1"} << false << QStringList{};
    QTest::newRow("-h before it: the help") << QStringList{"-h", "--classe"} << false << QStringList{};
    QTest::newRow("given twice") << QStringList{"--classe", "--classe"} << false << QStringList{};
    QTest::newRow("a prefix is no option") << QStringList{"--class"} << false << QStringList{};
    QTest::newRow("--classes is no option") << QStringList{"--classes"} << false << QStringList{};
    QTest::newRow("a path alone is a mistake") << QStringList{"cm1"} << false << QStringList{};
}

void TestCommandLine::classWindowPaths()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, opens);
    QFETCH(QStringList, paths);
    arguments.prepend(QStringLiteral("morvel2"));
    QCOMPARE(opensWindow(arguments), opens);
    const std::optional<QStringList> asked = ::classWindowPaths(arguments);
    QCOMPARE(asked.has_value(), opens && arguments.size() > 1);
    if (asked)
        QCOMPARE(*asked, paths);
}

// --exercice FICHIER opens the pupil's window on that file, which must be
// a valid exercise: otherwise the program ends with 2, each fault said.
void TestCommandLine::exerciseFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // written at FILE; "-" for none
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("err");

    const QByteArray good = "code : 301\ntitre : T\nparagraphe : A\n\nparagraphe : B\n\nidée au paragraphe 2 : I\n";
    QTest::newRow("a valid exercise") << QStringList{"--exercice", "FILE"} << good << true << "";
    QTest::newRow("--exercice=FILE") << QStringList{"--exercice=FILE"} << good << true << "";
    QTest::newRow("a damaged one, each line said")
        << QStringList{"--exercice", "FILE"} << QByteArray(good).replace("301", "3O1").replace("2 :", "5 :") << true
        << "morvel2 : FILE n'est pas un exercice valable :\n"
           "  ligne 1 : le code doit avoir trois chiffres, comme 301 : « 3O1 » n'en est pas un\n"
           "  ligne 7 : l'idée renvoie au paragraphe 5, mais le texte n'en a que 2\n";
    QTest::newRow("no such file") << QStringList{"--exercice", "FILE"} << QByteArray("-") << true
                                  << "morvel2 : FILE n'est pas un exercice valable :\n  le fichier ne peut pas être lu : "
                                     "il n'existe pas\n";
    QTest::newRow("with another option") << QStringList{"--exercice", "FILE", "--classe"} << good << false << "";
}

void TestCommandLine::exerciseFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(bool, opens);
    QFETCH(QString, err);
    const QString path = m_dir->filePath(QStringLiteral("exercice é.txt"));
    if (file != "-")
        write(path, file);
    arguments.replaceInStrings(QStringLiteral("FILE"), path);
    arguments.prepend(QStringLiteral("morvel2"));
    QCOMPARE(opensWindow(arguments), opens);
    const std::optional<QString> named = exerciseFileArgument(arguments);
    QCOMPARE(named.has_value(), opens);
    if (!named)
        return;
    QBuffer complained;
    QVERIFY(complained.open(QIODevice::WriteOnly));
    const std::optional<Exercise> exercise = exerciseOfArgument(*named, complained);
    QCOMPARE(exercise.has_value(), err.isEmpty());
    QCOMPARE(QString::fromUtf8(complained.data()), QString(err).replace(QStringLiteral("FILE"), QDir::toNativeSeparators(path)));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
