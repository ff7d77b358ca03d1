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

// A teacher's exercise as the reader makes it: numbered paragraphs, the
// default instructions for its paragraphs unless given.
Exercise exercise(const QString &code, const QString &title, const QStringList &paragraphs,
                  const QList<Idea> &ideas)
{
    Exercise made;
    made.code = code;
    made.label = title;
    for (int i = 0; i < paragraphs.size(); ++i)
        made.paragraphs.append(QStringLiteral("%1. ").arg(i + 1) + paragraphs[i]);
    made.readingInstruction = builtInExercise().readingInstruction;
    made.questionInstruction = defaultQuestionInstruction(int(paragraphs.size()));
    made.ideas = ideas;
    return made;
}

const QByteArray head = "code : 301\ntitre : Le potager\n";
const QByteArray twoParagraphs = "\nparagraphe :\nLila sème.\n\nparagraphe :\nTout pousse.\n\n";
const Exercise potager = exercise("301", "Le potager", {"Lila sème.", "Tout pousse."}, {{"Les graines", 1}});

QByteArray paragraphs(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "paragraphe : Texte " + QByteArray::number(i) + ".\n\n";
    return text;
}

QByteArray ideas(int count)
{
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "idée au paragraphe 1 : Idée " + QByteArray::number(i) + "\n";
    return text;
}

} // namespace

class TestExerciseFile : public QObject
{
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void defaultInstructionsFollowTheParagraphs();
    void writerReadsBack_data();
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
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<Exercise>("expected"); // when there is no fault

    const QByteArray idea = "idée au paragraphe 1 : Les graines\n";
    QTest::newRow("smallest") << head + twoParagraphs + idea << QStringList{} << potager;
    QTest::newRow("byte-order mark, CR LF, comments, names as typed")
        << QByteArray("\xEF\xBB\xBF# Pour le CE2\r\nCode: 301\r\nTITRE\u00a0: Le potager\r\n\r\n"
                      "Paragraphe :   Lila\r\n  sème.\r\n# une note\r\n\r\nparagraphe:\r\nTout pousse.\r\n\r\n"
                      "Idee au  Paragraphe 1 :  Les graines  \r\n")
        << QStringList{} << potager;
    Exercise instructed = potager;
    instructed.readingInstruction = QStringLiteral("Lis : deux fois.");
    instructed.questionInstruction = QStringLiteral("Choisis 1 ou 2.");
    QTest::newRow("instructions given, a colon in a text")
        << head + "consigne de lecture : Lis : deux fois.\nconsigne des questions : Choisis 1 ou 2.\n" + twoParagraphs
               + idea
        << QStringList{} << instructed;
    QList<Idea> eleven;
    for (int i = 1; i <= 11; ++i)
        eleven.append({QStringLiteral("Idée %1").arg(i), 1});
    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine.append(QStringLiteral("Texte %1.").arg(i));
    QTest::newRow("nine paragraphs, eleven ideas")
        << head + paragraphs(9) + ideas(11) << QStringList{} << exercise("301", "Le potager", nine, eleven);
    QTest::newRow("hostile texts stay texts")
        << "code : 999\ntitre : <b>x</b> &amp; =1+1\n" + twoParagraphs + "idée au paragraphe 2 : =1+1 « œ » €\n"
        << QStringList{}
        << exercise("999", "<b>x</b> &amp; =1+1", {"Lila sème.", "Tout pousse."}, {{"=1+1 « œ » €", 2}});

    const Exercise none;
    QTest::newRow("empty file") << QByteArray()
                                << QStringList{"il manque le code de l'exercice : une ligne « code : 301 », trois chiffres",
                                               "il manque le titre de l'exercice : une ligne « titre : … »",
                                               "il faut au moins 2 paragraphes : ce fichier en a 0",
                                               "il faut au moins une idée : une ligne « idée au paragraphe 1 : … »"}
                                << none;
    QTest::newRow("code of two digits")
        << "code : 31\ntitre : T\n" + twoParagraphs + idea
        << QStringList{"ligne 1 : le code doit avoir trois chiffres, comme 301 : « 31 » n'en est pas un"} << none;
    QTest::newRow("the built-in code")
        << "code : 202\ntitre : T\n" + twoParagraphs + idea
        << QStringList{"ligne 1 : le code 202 est celui de l'exercice livré avec le programme : choisis-en un autre"}
        << none;
    QTest::newRow("a field twice") << head + "code : 302\n" + twoParagraphs + idea
                                   << QStringList{"ligne 3 : le code est déjà donné ligne 1"} << none;
    QTest::newRow("not UTF-8") << "code : 301\ntitre : caf\xe9\n" + twoParagraphs + idea
                               << QStringList{"ligne 2 : cette ligne n'est pas du texte UTF-8 : enregistre le fichier en UTF-8",
                                              "il manque le titre de l'exercice : une ligne « titre : … »"}
                               << none;
    QTest::newRow("Greek in an idea") << head + twoParagraphs + "idée au paragraphe 1 : λ\n"
                                      << QStringList{"ligne 10 : l'idée contient « λ » (U+03BB), que le fichier de "
                                                     "résultats ne peut pas écrire (Windows-1252) : remplace-le"}
                                      << none;
    QTest::newRow("narrow no-break space in the title")
        << "code : 301\ntitre : Le loup\u202f!\n" + twoParagraphs + idea
        << QStringList{"ligne 2 : le titre contient « \u202f » (U+202F), que le fichier de résultats ne peut pas "
                       "écrire (Windows-1252) : remplace-le"}
        << none;
    QTest::newRow("a paragraph may hold what the record could not")
        << head + "paragraphe : Le loup\u202f!\n\nparagraphe : λ\n\n" + idea << QStringList{}
        << exercise("301", "Le potager", {"Le loup\u202f!", "λ"}, {{"Les graines", 1}});
    QTest::newRow("tab in a paragraph") << head + "paragraphe : Lila\tsème.\n\nparagraphe : B\n\n" + idea
                                        << QStringList{"ligne 3 : le paragraphe 1 contient une tabulation : mets "
                                                       "une espace à sa place"}
                                        << none;
    QTest::newRow("control character in an idea")
        << head + twoParagraphs + "idée au paragraphe 1 : a\x01z\n"
        << QStringList{"ligne 10 : l'idée contient un caractère invisible (U+0001) : retire-le"} << none;
    QTest::newRow("idea beyond the text") << head + twoParagraphs + "idée au paragraphe 3 : Les graines\n"
                                          << QStringList{"ligne 10 : l'idée renvoie au paragraphe 3, mais le texte "
                                                         "n'en a que 2"}
                                          << none;
    QTest::newRow("idea without its paragraph")
        << head + twoParagraphs + "idée : Les graines\n"
        << QStringList{"ligne 10 : le paragraphe de l'idée doit être un chiffre de 1 à 9"} << none;
    QTest::newRow("ten paragraphs") << head + paragraphs(10) + idea
                                    << QStringList{"ligne 21 : un exercice a au plus 9 paragraphes, car la réponse "
                                                   "est un seul chiffre : celui-ci est le 10e"}
                                    << none;
    QTest::newRow("twelve ideas") << head + twoParagraphs + ideas(12)
                                  << QStringList{"ligne 21 : un exercice a au plus 11 idées : celle-ci est la 12e"}
                                  << none;
    QTest::newRow("one paragraph") << head + "paragraphe : A\n\n" + idea
                                   << QStringList{"il faut au moins 2 paragraphes : ce fichier en a 1"} << none;
    QTest::newRow("idea right after a paragraph")
        << head + "paragraphe : A\n\nparagraphe : B\n" + idea
        << QStringList{"ligne 6 : laisse une ligne vide avant cette ligne : sans elle, elle serait lue comme la "
                       "suite du paragraphe 2"}
        << none;
    QTest::newRow("neither field nor paragraph")
        << head + "question : laquelle ?\n" + twoParagraphs + idea
        << QStringList{"ligne 3 : « question : laquelle ? » n'est ni un champ de l'exercice (code, titre, consigne "
                       "de lecture, consigne des questions, paragraphe, idée au paragraphe N) ni la suite d'un "
                       "paragraphe"}
        << none;
    QTest::newRow("paragraph numbered by hand")
        << head + "paragraphe : 1. Lila sème.\n\nparagraphe : 2- B\n\n" + idea
        << QStringList{"ligne 3 : le paragraphe 1 commence par son numéro : le programme numérote les paragraphes "
                       "lui-même, retire-le",
                       "ligne 5 : le paragraphe 2 commence par son numéro : le programme numérote les paragraphes "
                       "lui-même, retire-le"}
        << none;
    QTest::newRow("an idea twice") << head + twoParagraphs + idea + idea
                                   << QStringList{"ligne 11 : cette idée est déjà écrite ligne 10"} << none;
    QTest::newRow("title too long") << "code : 301\ntitre : " + QByteArray(81, 'a') + '\n' + twoParagraphs + idea
                                    << QStringList{"ligne 2 : le titre a 81 caractères : 80 au plus"} << none;
    QTest::newRow("empty paragraph") << head + "paragraphe :\n\nparagraphe : B\n\n" + idea
                                     << QStringList{"ligne 3 : le paragraphe 1 est vide"} << none;
    QTest::newRow("larger than 64 KiB")
        << head + twoParagraphs + idea + '#' + QByteArray(64 * 1024, 'x')
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
    QCOMPARE(said, faults);
    // A damaged file is never half-used.
    QCOMPARE(read.exercise.has_value(), faults.isEmpty());
    if (read.exercise)
        QCOMPARE(*read.exercise, expected);
}

void TestExerciseFile::defaultInstructionsFollowTheParagraphs()
{
    QCOMPARE(defaultQuestionInstruction(4), builtInExercise().questionInstruction);
    QVERIFY(defaultQuestionInstruction(3).startsWith(QStringLiteral("Utilise les nombres de 1 à 3 pour")));
}

void TestExerciseFile::writerReadsBack_data()
{
    QTest::addColumn<Exercise>("written");
    QTest::newRow("smallest") << potager;
    Exercise full = exercise("457", "« Le phare » : & <i>", {"#1 n'est pas un commentaire", "titre : pas un champ",
                                                             "C  deux  espaces"},
                             {{"# idée", 3}, {"paragraphe : non", 2}});
    full.readingInstruction = QStringLiteral("Lis.");
    QTest::newRow("texts that look like syntax") << full;
}

void TestExerciseFile::writerReadsBack()
{
    QFETCH(Exercise, written);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("exercice.txt"));
    const ExerciseSaved saved = saveExerciseFile(written, path);
    QVERIFY(saved.saved);
    const ExerciseRead read = readExerciseFile(QFile::encodeName(path).toStdString());
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
    QVERIFY(saveExerciseFile(potager, path).saved);
    ::umask(previous);
    struct stat status{};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0644));
#else
    QVERIFY(saveExerciseFile(potager, path).saved);
#endif

    // An exercise that breaks a rule writes nothing: the old file stays.
    Exercise greek = potager;
    greek.label = QStringLiteral("λ");
    const QByteArray before = exerciseFileText(potager);
    const ExerciseSaved refused = saveExerciseFile(greek, path);
    QVERIFY(!refused.saved);
    QCOMPARE(refused.faults.size(), 1);
    QCOMPARE(refused.faults.first().field, ExerciseField::Title);
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), before);

    // Replaced: the new content, its permissions kept, nothing else beside it.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Exercise changed = potager;
    changed.label = QStringLiteral("Le potager de Lila");
    QVERIFY(saveExerciseFile(changed, path).saved);
    QCOMPARE(readExerciseFile(QFile::encodeName(path).toStdString()).exercise->label, changed.label);
#ifndef Q_OS_WIN
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0600));
#endif
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"301.txt"});

    const ExerciseSaved nowhere = saveExerciseFile(potager, folder.filePath(QStringLiteral("absent/301.txt")));
    QVERIFY(!nowhere.saved);
    QVERIFY(!nowhere.failure.isEmpty());
}

void TestExerciseFile::proposedCode_data()
{
    QTest::addColumn<QStringList>("used");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("none yet") << QStringList{} << "301";
    QTest::newRow("after the highest, not in a gap") << QStringList{"301", "305"} << "306";
    QTest::newRow("a deleted exercise's code in the logs") << QStringList{"301", "302"} << "303";
    QTest::newRow("never the built-in one") << QStringList{"201"} << "301";
    QTest::newRow("junk is no code") << QStringList{"abc", "-01", "4000", " 950 "} << "951";
    QStringList almost;
    for (int code = 301; code <= 999; ++code)
        almost.append(QString::number(code));
    QTest::newRow("past 999, the lowest free") << almost << "000";
    QStringList all;
    for (int code = 0; code <= 999; ++code)
        all.append(QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0')));
    QTest::newRow("all taken") << all << "";
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
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<QString>("key"); // each idea's paragraph, in order
    QTest::newRow("CE2") << "301-herisson.txt" << "301" << "Le hérisson du jardin" << 4 << "3214";
    QTest::newRow("CM1") << "302-phare.txt" << "302" << "Le phare de l'île aux Mouettes" << 5 << "42153";
    QTest::newRow("CM2") << "303-cigognes.txt" << "303" << "Le voyage des cigognes" << 6 << "246135";
}

void TestExerciseFile::shippedExamples()
{
    QFETCH(QString, file);
    QFETCH(QString, code);
    QFETCH(QString, title);
    QFETCH(int, paragraphs);
    QFETCH(QString, key);
    const QString path = QFINDTESTDATA(QStringLiteral("../packaging/exercices/") + file);
    QVERIFY(!path.isEmpty());
    const ExerciseRead read = readExerciseFile(QFile::encodeName(path).toStdString());
    QCOMPARE(describeFaults(read.faults), QString());
    QCOMPARE(read.exercise->code, code);
    QCOMPARE(read.exercise->label, title);
    QCOMPARE(read.exercise->paragraphCount(), paragraphs);
    QString answers;
    for (const Idea &idea : read.exercise->ideas)
        answers += QString::number(idea.paragraph);
    QCOMPARE(answers, key);
    QCOMPARE(read.exercise->questionInstruction, defaultQuestionInstruction(paragraphs));
}

// The teacher's guide shows a file and the faults of a damaged copy: both
// as the reader has them.
void TestExerciseFile::guidesExample()
{
    QFile guide(QFINDTESTDATA("../docs/exercices.md"));
    QVERIFY(guide.open(QIODevice::ReadOnly));
    const QByteArray shown = guide.readAll();
    const qsizetype start = shown.indexOf("```\n") + 4; // the first block
    const QByteArray example = shown.mid(start, shown.indexOf("```", start) - start);
    const ExerciseRead read = parseExerciseFile(example);
    QCOMPARE(describeFaults(read.faults), QString());
    QCOMPARE(read.exercise->paragraphCount(), 3);
    QVERIFY(read.exercise->paragraphs.first().startsWith(QStringLiteral("1. En automne, l'écureuil roux court")));

    const ExerciseRead damaged =
        parseExerciseFile(QByteArray(example).replace("code : 304", "code : 34").replace("paragraphe 1 :", "paragraphe 4 :"));
    for (const ExerciseFault &fault : damaged.faults)
        QVERIFY2(shown.contains("  " + describeFault(fault).toUtf8() + '\n'), qPrintable(describeFault(fault)));
    QCOMPARE(damaged.faults.size(), 2);
}

QTEST_GUILESS_MAIN(TestExerciseFile)
#include "tst_exercisefile.moc"
