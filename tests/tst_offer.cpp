#include "offered/offer.h"

#include <QHash>
#include <QTest>

// What the pupils get of the teacher's choice, given what reading each file
// of the folder gave.
namespace {

QByteArray exerciseFile(const QByteArray &code, const QByteArray &title)
{
    return "code : " + code + "\ntitre : " + title
           + "\nparagraphe : Un.\n\nparagraphe : Deux.\n\nidée au paragraphe 2 : La fin\n";
}

// The folder's files by name: "!" before the bytes stands for a file the
// reading refused, with the rest as its reason.
using Folder = QHash<QString, QByteArray>;

FolderFile readIn(const Folder &folder, const QString &name)
{
    if (!folder.contains(name))
        return {false, true, {}, QStringLiteral("absent")};
    const QByteArray bytes = folder.value(name);
    if (bytes.startsWith('!'))
        return {false, false, {}, QString::fromUtf8(bytes.mid(1))};
    return {true, false, bytes, {}};
}

} // namespace

class TestOffer : public QObject
{
    Q_OBJECT

private slots:
    void offer_data();
    void offer();
};

void TestOffer::offer_data()
{
    QTest::addColumn<Folder>("folder");
    QTest::addColumn<QStringList>("titles");   // what the pupils get
    QTest::addColumn<QStringList>("problems"); // "FILE: PROBLEM" for the teacher
    QTest::addColumn<QString>("problem");      // the choice's as a whole

    const QByteArray potager = exerciseFile("301", "Le potager");
    const QByteArray phare = exerciseFile("302", "Le phare");
    QTest::newRow("no choice: the built-in exercise")
        << Folder{{"301.txt", potager}} << QStringList{} << QStringList{} << "";
    QTest::newRow("one") << Folder{{"proposes.conf", "301.txt\n"}, {"301.txt", potager}} << QStringList{"Le potager"}
                         << QStringList{} << "";
    QTest::newRow("several, the teacher's order, comments and blanks aside")
        << Folder{{"proposes.conf", "# CM1\n302.txt\n\n  301.txt  \n"}, {"301.txt", potager}, {"302.txt", phare}}
        << QStringList{"Le phare", "Le potager"} << QStringList{} << "";
    QTest::newRow("the others despite a missing, an unsafe and a damaged file")
        << Folder{{"proposes.conf", "absent.txt\n303.txt\n301.txt\n304.txt\n"},
                  {"303.txt", "!il appartient à tom"},
                  {"301.txt", potager},
                  {"304.txt", "code : 304\n"}}
        << QStringList{"Le potager"}
        << QStringList{"absent.txt: il n'existe pas", "303.txt: il appartient à tom",
                       "304.txt: il manque le titre de l'exercice : une ligne « titre : … »\n"
                       "il faut au moins 2 paragraphes : ce fichier en a 0\n"
                       "il faut au moins une idée : une ligne « idée au paragraphe 1 : … »"}
        << "";
    QTest::newRow("one code, two files: the second left out")
        << Folder{{"proposes.conf", "a.txt\nb.txt\n"}, {"a.txt", potager}, {"b.txt", exerciseFile("301", "Autre")}}
        << QStringList{"Le potager"} << QStringList{"b.txt: le code 301 est déjà celui de a.txt"} << "";
    QTest::newRow("an unreadable choice") << Folder{{"proposes.conf", "!permission refusée"}, {"301.txt", potager}}
                                          << QStringList{} << QStringList{}
                                          << "le choix des exercices proposés (proposes.conf) ne peut pas être lu : "
                                             "permission refusée";
    QTest::newRow("one name twice") << Folder{{"proposes.conf", "301.txt\n301.txt\n"}, {"301.txt", potager}}
                                    << QStringList{} << QStringList{}
                                    << "le choix des exercices proposés (proposes.conf) n'est pas valable :\nligne 2 : "
                                       "« 301.txt » est déjà proposé ligne 1";
    QTest::newRow("the choice names itself")
        << Folder{{"proposes.conf", "\xEF\xBB\xBF# CE2\r\nproposes.conf\r\n"}} << QStringList{} << QStringList{}
        << "le choix des exercices proposés (proposes.conf) n'est pas valable :\nligne 2 : « proposes.conf » n'est "
           "pas un fichier d'exercice : son nom finit par .txt";
    QTest::newRow("a damaged choice is not half-used")
        << Folder{{"proposes.conf", "301.txt\n/etc/passwd\n"}, {"301.txt", potager}} << QStringList{}
        << QStringList{}
        << "le choix des exercices proposés (proposes.conf) n'est pas valable :\nligne 2 : « /etc/passwd » n'est pas "
           "un nom de fichier seul : les exercices sont dans le dossier même";
}

void TestOffer::offer()
{
    QFETCH(Folder, folder);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, problems);
    QFETCH(QString, problem);
    QStringList read;
    const Offer offer = offerFrom(readIn(folder, QStringLiteral("proposes.conf")), [&](const QString &name) {
        read.append(name);
        return readIn(folder, name);
    });
    QStringList got;
    for (const Exercise &exercise : offer.exercises())
        got.append(exercise.label);
    QCOMPARE(got, titles);
    QStringList said;
    for (const OfferedFile &file : offer.files)
        if (!file.problem.isEmpty())
            said.append(file.file + QStringLiteral(": ") + file.problem);
    QCOMPARE(said, problems);
    QCOMPARE(offer.problem, problem);
    // Only the files the choice names are read.
    QCOMPARE(read.size(), offer.files.size());
}

QTEST_GUILESS_MAIN(TestOffer)
#include "tst_offer.moc"
