#include "exercisefile/exercisecode.h"
#include "exercisefile/exercisefile.h"
#include "exercisefile/exercisewriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

Q_DECLARE_METATYPE(Exercise)

namespace {

const QByteArray head = "code : 301\ntitre : Le potager\n";
const QByteArray twoParagraphs = "\nparagraphe :\nLila sème.\n\nparagraphe :\nTout pousse.\n\n"; // lines 3 to 9
const QByteArray graines = "idée au paragraphe 1 : Les graines\n";

// As the reader makes it: numbered paragraphs, the default instructions.
Exercise potager(const QString &title = QStringLiteral("Le potager"), const QString &prompt = QStringLiteral("Les graines"))
{
    Exercise made;
    made.code = QStringLiteral("301");
    made.label = title;
    made.paragraphs = {QStringLiteral("1. Lila sème."), QStringLiteral("2. Tout pousse.")};
    made.readingInstruction = builtInExercise().readingInstruction;
    made.questionInstruction = defaultQuestionInstruction(2);
    made.ideas = {{prompt, 1}};
    return made;
}

QByteArray repeated(const QByteArray &line, int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += QByteArray(line).replace('#', QByteArray::number(i));
    return text;
}

std::filesystem::path local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

class TestExerciseFile : public QObject
{
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void writerReadsBack();
    void writerReplacesWholeOrNothing();
    void proposedCode_data();
    void proposedCode();
    void shippedExamples_data();
    void shippedExamples();
    void guidesExample();
};

void TestExerciseFile::reader_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("faults"); // each said in full, or its start and "…"
    QTest::addColumn<Exercise>("expected");  // when there is no fault and it has a code

    QTest::newRow("smallest") << head + twoParagraphs + graines << QStringList{} << potager();
    QTest::newRow("byte-order mark, CR LF, comments, names as typed")
        << QByteArray("\xEF\xBB\xBF# CE2\r\nCode: 301\r\nTITRE\u00a0: Le potager\r\n\r\nParagraphe :   Lila\r\n  sème.\r\n"
                      "# note\r\n\r\nparagraphe:\r\nTout pousse.\r\n\r\nIdee au  Paragraphe 1 :  Les graines  \r\n")
        << QStringList{} << potager();
    QTest::newRow("hostile texts stay texts; a colon in a text")
        << "code : 301\ntitre : <b>x</b> &amp; =1+1 : €\n" + twoParagraphs + "idée au paragraphe 1 : =1+1 « œ »\n"
        << QStringList{} << potager("<b>x</b> &amp; =1+1 : €", "=1+1 « œ »");
    const Exercise none;
    QTest::newRow("nine paragraphs, eleven ideas")
        << head + repeated("paragraphe : P#.\n\n", 9) + repeated("idée au paragraphe 9 : Idée #\n", 11) << QStringList{}
        << none;
    QTest::newRow("empty file") << QByteArray() << QStringList{"il manque le code…", "il manque le titre…",
                                                               "il faut au moins 2 paragraphes : ce fichier en a 0",
                                                               "il faut au moins une idée…"} << none;
    QTest::newRow("two digits") << "code : 31\ntitre : T\n" + twoParagraphs + graines
                                << QStringList{"ligne 1 : le code doit avoir trois chiffres, comme 301 : « 31 » n'en est pas un"}
                                << none;
    QTest::newRow("the built-in code") << "code : 202\ntitre : T\n" + twoParagraphs + graines
                                       << QStringList{"ligne 1 : le code 202 est celui de l'exercice livré…"} << none;
    QTest::newRow("a field twice") << head + "code : 302\n" + twoParagraphs + graines
                                   << QStringList{"ligne 3 : le code est déjà donné ligne 1"} << none;
    QTest::newRow("not UTF-8") << "code : 301\ntitre : caf\xe9\n" + twoParagraphs + graines
                               << QStringList{"ligne 2 : cette ligne n'est pas du texte UTF-8…", "il manque le titre…"} << none;
    QTest::newRow("Greek in an idea") << head + twoParagraphs + "idée au paragraphe 1 : λ\n"
                                      << QStringList{"ligne 10 : l'idée contient « λ » (U+03BB), que le fichier de "
                                                     "résultats ne peut pas écrire (Windows-1252) : remplace-le"}
                                      << none;
    QTest::newRow("narrow no-break space in the title") << "code : 301\ntitre : Loup\u202f!\n" + twoParagraphs + graines
                                                        << QStringList{"ligne 2 : le titre contient « \u202f » (U+202F)…"}
                                                        << none;
    Exercise shownOnly = potager();
    shownOnly.paragraphs = {QStringLiteral("1. Loup\u202f!"), QStringLiteral("2. λ")};
    QTest::newRow("a paragraph may hold what the record could not")
        << head + "paragraphe : Loup\u202f!\n\nparagraphe : λ\n\n" + graines << QStringList{} << shownOnly;
    QTest::newRow("tab in a paragraph") << head + "paragraphe : A\tB\n\nparagraphe : B\n\n" + graines
                                        << QStringList{"ligne 3 : le paragraphe 1 contient une tabulation…"} << none;
    QTest::newRow("control character in an idea") << head + twoParagraphs + "idée au paragraphe 1 : a\x01z\n"
                                                  << QStringList{"ligne 10 : l'idée contient un caractère invisible "
                                                                 "(U+0001) : retire-le"} << none;
    QTest::newRow("idea beyond the text") << head + twoParagraphs + "idée au paragraphe 3 : X\n"
                                          << QStringList{"ligne 10 : l'idée renvoie au paragraphe 3, mais le texte "
                                                         "n'en a que 2"} << none;
    QTest::newRow("ten paragraphs") << head + repeated("paragraphe : P#.\n\n", 10) + graines
                                    << QStringList{"ligne 21 : un exercice a au plus 9 paragraphes, car la réponse…"} << none;
    QTest::newRow("twelve ideas") << head + twoParagraphs + repeated("idée au paragraphe 1 : I#\n", 12)
                                  << QStringList{"ligne 21 : un exercice a au plus 11 idées : celle-ci est la 12e"} << none;
    QTest::newRow("idea right after a paragraph") << head + "paragraphe : A\n\nparagraphe : B\n" + graines
                                                  << QStringList{"ligne 6 : laisse une ligne vide avant cette ligne…"} << none;
    QTest::newRow("neither field nor paragraph") << head + "question : laquelle ?\n" + twoParagraphs + graines
                                                 << QStringList{"ligne 3 : « question : laquelle ? » n'est ni un champ…"}
                                                 << none;
    QTest::newRow("paragraph numbered by hand") << head + "paragraphe : 1. A\n\nparagraphe : 2- B\n\n" + graines
                                                << QStringList{"ligne 3 : le paragraphe 1 commence par son numéro…",
                                                               "ligne 5 : le paragraphe 2 commence par son numéro…"} << none;
    QTest::newRow("an idea twice") << head + twoParagraphs + graines + graines
                                   << QStringList{"ligne 11 : cette idée est déjà écrite ligne 10"} << none;
    QTest::newRow("title too long") << "code : 301\ntitre : " + QByteArray(81, 'a') + '\n' + twoParagraphs + graines
                                    << QStringList{"ligne 2 : le titre a 81 caractères : 80 au plus"} << none;
    QTest::newRow("over 64 KiB") << head + twoParagraphs + graines + '#' + QByteArray(64 * 1024, 'x')
                                 << QStringList{"le fichier dépasse 64 Kio : ce n'est pas un exercice"} << none;
}

void TestExerciseFile::reader()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, faults);
    QFETCH(Exercise, expected);

    const ExerciseRead read = parseExerciseFile(file);
    QStringList said;
    for (const ExerciseFault &fault : read.faults)
        said.append(describeFault(fault));
    QCOMPARE(said.size(), faults.size());
    for (qsizetype i = 0; i < said.size(); ++i)
        QVERIFY2(faults[i].endsWith(u'…') ? said[i].startsWith(faults[i].chopped(1)) : said[i] == faults[i],
                 qPrintable(said[i]));
    // A damaged file is never half-used.
    QCOMPARE(read.exercise.has_value(), faults.isEmpty());
    if (read.exercise && !expected.code.isEmpty())
        QCOMPARE(*read.exercise, expected);
}

// Texts that look like the file's own syntax come back as they were.
void TestExerciseFile::writerReadsBack()
{
    Exercise written = potager("« Le phare » : & <i>", "# idée");
    written.paragraphs = {QStringLiteral("1. #1 n'est pas un commentaire"), QStringLiteral("2. titre : pas un champ"),
                          QStringLiteral("3. C  deux  espaces")};
    written.questionInstruction = defaultQuestionInstruction(3);
    written.readingInstruction = QStringLiteral("Lis.");
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("exercice.txt"));
    QVERIFY(saveExerciseFile(written, path).saved);
    const ExerciseRead read = readExerciseFile(local(path));
    QCOMPARE(describeFaults(read.faults), QString());
    QCOMPARE(*read.exercise, written);
}

void TestExerciseFile::writerReplacesWholeOrNothing()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("301.txt"));
#ifndef Q_OS_WIN
    // A new file is the pupils' to read and its owner's alone to change.
    const mode_t previous = ::umask(002);
#endif
    QVERIFY(saveExerciseFile(potager(), path).saved);
#ifndef Q_OS_WIN
    ::umask(previous);
    const QFileDevice::Permissions ownerGroupOthers(0x7077);
    QCOMPARE(QFile::permissions(path) & ownerGroupOthers,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
#endif
    // An exercise that breaks a rule writes nothing: the old file stays.
    const ExerciseSaved refused = saveExerciseFile(potager(QStringLiteral("λ")), path);
    QVERIFY(!refused.saved);
    QCOMPARE(refused.faults.value(0).field, ExerciseField::Title);
    QCOMPARE(readExerciseFile(local(path)).exercise->label, QStringLiteral("Le potager"));
    // Replaced: the new content, nothing left beside it.
    QVERIFY(saveExerciseFile(potager(QStringLiteral("Le potager de Lila")), path).saved);
    QCOMPARE(readExerciseFile(local(path)).exercise->label, QStringLiteral("Le potager de Lila"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"301.txt"});
    QVERIFY(!saveExerciseFile(potager(), folder.filePath(QStringLiteral("absent/301.txt"))).failure.isEmpty());
}

void TestExerciseFile::proposedCode_data()
{
    QTest::addColumn<QStringList>("used");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("none yet, never 202") << QStringList{"201"} << "301";
    QTest::newRow("after the highest: a deleted one's gap stays unused") << QStringList{"301", "305"} << "306";
    QTest::newRow("junk is no code") << QStringList{"abc", "-01", "4000", " 950 "} << "951";
    QStringList codes;
    for (int code = 301; code <= 999; ++code)
        codes.append(QString::number(code));
    QTest::newRow("past 999, the lowest free") << codes << "000";
    for (int code = 0; code <= 300; ++code)
        codes.append(QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0')));
    QTest::newRow("all taken") << codes << "";
}

void TestExerciseFile::proposedCode()
{
    QFETCH(QStringList, used);
    QFETCH(QString, proposed);
    QCOMPARE(proposeExerciseCode(used), proposed);
}

// The three exercises installed with the program, as a teacher finds them.
void TestExerciseFile::shippedExamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("key"); // each idea's paragraph, in order
    QTest::newRow("CE2") << "301-herisson.txt" << "Le hérisson du jardin" << "3214";
    QTest::newRow("CM1") << "302-phare.txt" << "Le phare de l'île aux Mouettes" << "42153";
    QTest::newRow("CM2") << "303-cigognes.txt" << "Le voyage des cigognes" << "246135";
}

void TestExerciseFile::shippedExamples()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(QString, key);
    const ExerciseRead read = readExerciseFile(local(QFINDTESTDATA(QStringLiteral("../packaging/exercices/") + file)));
    QCOMPARE(describeFaults(read.faults), QString());
    QCOMPARE(read.exercise->code, file.left(3));
    QCOMPARE(read.exercise->label, title);
    QString answers;
    for (const Idea &idea : read.exercise->ideas)
        answers += QString::number(idea.paragraph);
    QCOMPARE(answers, key);
    QVERIFY(read.exercise->questionInstruction.contains(QStringLiteral("de 1 à %1 ").arg(read.exercise->paragraphCount())));
}

// The guide's example and the faults it shows for a damaged copy, as the
// reader has them.
void TestExerciseFile::guidesExample()
{
    QFile guide(QFINDTESTDATA("../docs/exercices.md"));
    QVERIFY(guide.open(QIODevice::ReadOnly));
    const QByteArray shown = guide.readAll();
    const qsizetype start = shown.indexOf("```\n") + 4; // the first block
    const QByteArray example = shown.mid(start, shown.indexOf("```", start) - start);
    QCOMPARE(describeFaults(parseExerciseFile(example).faults), QString());
    const ExerciseRead damaged = parseExerciseFile(
        QByteArray(example).replace("code : 304", "code : 34").replace("paragraphe 1 :", "paragraphe 4 :"));
    QCOMPARE(damaged.faults.size(), 2);
    for (const ExerciseFault &fault : damaged.faults)
        QVERIFY2(shown.contains("  " + describeFault(fault).toUtf8() + '\n'), qPrintable(describeFault(fault)));
}

QTEST_GUILESS_MAIN(TestExerciseFile)
#include "tst_exercisefile.moc"
