// What the teacher's exercise editor decides without a widget.
#include "classroom/recordedcodes.h"
#include "exercisefile/editrules.h"
#include "exercisefile/exercisefile.h"
#include "exercisefile/exercisewriter.h"
#include "exercisefile/passagetext.h"
#include "layout/pagefonts.h"
#include "layout/pageoverflow.h"
#include "layout/wrappedtext.h"
#include "offered/choicewriter.h"
#include "offered/exerciselibrary.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

Exercise sample(const QString &code = QStringLiteral("301"))
{
    ExerciseDraft draft;
    draft.code = DraftItem{code, 0};
    draft.title = DraftItem{QStringLiteral("Les hirondelles"), 0};
    draft.paragraphs = {{QStringLiteral("Elles reviennent."), 0}, {QStringLiteral("Elles repartent."), 0}};
    draft.ideas = {{QStringLiteral("Le retour"), 1, 0}, {QStringLiteral("Le départ"), 2, 0}};
    return exerciseFrom(draft);
}

} // namespace

class TestExerciseEditing : public QObject
{
    Q_OBJECT

private slots:
    void pastedPassage_data();
    void pastedPassage();
    void fileName_data();
    void fileName();
    void codeSkipsRecordedOnes();
    void newCode_data();
    void newCode();
    void copyOfBuiltIn();
    void choiceFile_data();
    void choiceFile();
    void library();
    void logsHoldExercise_data();
    void logsHoldExercise();
    void overflowSaysLinesToCut();
    void overflowOfIdeasAlone();
};

void TestExerciseEditing::pastedPassage_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QStringList>("paragraphs");
    QTest::addColumn<int>("numbersRemoved");
    QTest::newRow("blank lines, lines joined") << QStringLiteral("Un\ndeux.\n\n  \nTrois.\n")
                                               << QStringList{"Un deux.", "Trois."} << 0;
    QTest::newRow("Windows line ends, tabs") << QStringLiteral("A\tb.\r\n\r\nC.") << QStringList{"A b.", "C."} << 0;
    QTest::newRow("numbered as the built-in one")
        << QStringLiteral("1- Un.\n\n2. Deux.\n\n 3) Trois.") << QStringList{"Un.", "Deux.", "Trois."} << 3;
    QTest::newRow("a number not its own is text")
        << QStringLiteral("1914 - la guerre.\n\n2. Deux.") << QStringList{"1914 - la guerre.", "Deux."} << 1;
    QTest::newRow("a street's number stays") << QStringLiteral("1, rue des Lilas.\n\nFin.")
                                             << QStringList{"1, rue des Lilas.", "Fin."} << 0;
    QTest::newRow("a number alone stays") << QStringLiteral("1.\n\nDeux.") << QStringList{"1.", "Deux."} << 0;
    QTest::newRow("a word processor's paragraphs, a line each")
        << QStringLiteral("Un matin.\n2. Le soir !\nLa nuit…") << QStringList{"Un matin.", "Le soir !", "La nuit…"}
        << 1;
    QTest::newRow("a PDF's lines, broken mid-sentence")
        << QStringLiteral("Un matin, les\nhirondelles partent.") << QStringList{"Un matin, les hirondelles partent."}
        << 0;
    QTest::newRow("nothing") << QStringLiteral(" \n\n ") << QStringList{} << 0;
}

void TestExerciseEditing::pastedPassage()
{
    QFETCH(QString, pasted);
    QFETCH(QStringList, paragraphs);
    QFETCH(int, numbersRemoved);
    const PastedPassage result = ::pastedPassage(pasted);
    QCOMPARE(passageParagraphs(result.text), paragraphs);
    QCOMPARE(result.text, passageBoxText(paragraphs));
    QCOMPARE(result.numbersRemoved, numbersRemoved);
}

void TestExerciseEditing::fileName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("name");
    QTest::newRow("accents and apostrophes") << QStringLiteral("L'écureuil et ses réserves") << QStringList{}
                                             << QStringLiteral("304-l-ecureuil-et-ses-reserves.txt");
    QTest::newRow("markup") << QStringLiteral("<b>x</b> &amp; =1+1") << QStringList{}
                            << QStringLiteral("304-b-x-b-amp-1-1.txt");
    QTest::newRow("very long") << QString(200, u'a') << QStringList{} << QStringLiteral("304-%1.txt").arg(QString(40, u'a'));
    QTest::newRow("taken, whatever the case") << QStringLiteral("Phare")
                                              << QStringList{"304-PHARE.txt", "304-phare-2.txt"}
                                              << QStringLiteral("304-phare-3.txt");
}

void TestExerciseEditing::fileName()
{
    QFETCH(QString, title);
    QFETCH(QStringList, taken);
    QFETCH(QString, name);
    QCOMPARE(exerciseFileName(QStringLiteral("304"), title, taken), name);
}

void TestExerciseEditing::codeSkipsRecordedOnes()
{
    // 302 and 303 belonged to exercises since deleted: their records stay.
    const HasAttempts recorded = [](const QString &code) { return code == u"302" || code == u"303"; };
    QCOMPARE(proposeNewCode({QStringLiteral("301")}, recorded), QStringLiteral("304"));
    QCOMPARE(proposeNewCode({QStringLiteral("301")}, {}), QStringLiteral("302"));
}

void TestExerciseEditing::newCode_data()
{
    QTest::addColumn<Exercise>("edited");
    QTest::addColumn<bool>("attempts");
    QTest::addColumn<bool>("newCode");
    const Exercise original = sample();
    Exercise prompt = original;
    prompt.ideas[0].prompt = QStringLiteral("Le retour au nid");
    Exercise key = original;
    key.ideas[0].paragraph = 2;
    QTest::newRow("the same, done") << original << true << false;
    QTest::newRow("a prompt changed, never done") << prompt << false << false;
    QTest::newRow("a prompt changed, done") << prompt << true << true;
    QTest::newRow("the key changed, done") << key << true << true;
}

void TestExerciseEditing::newCode()
{
    QFETCH(Exercise, edited);
    QFETCH(bool, attempts);
    QFETCH(bool, newCode);
    QCOMPARE(needsNewCode(sample(), edited, attempts), newCode);
}

void TestExerciseEditing::copyOfBuiltIn()
{
    const Exercise copy = copyOf(builtInExercise(), QStringLiteral("305"));
    QVERIFY2(draftFaults(draftOf(copy)).isEmpty(), qPrintable(describeFaults(draftFaults(draftOf(copy)))));
    QCOMPARE(copy.code, QStringLiteral("305"));
    QCOMPARE(copy.label, QStringLiteral("Morvel-sens paragraphes:(3412) (copie)"));
    QVERIFY(copy.paragraphs[0].startsWith(QStringLiteral("1. Jasmin")));
    QVERIFY(copy.paragraphs[2].startsWith(QStringLiteral("3. C'est")));
    QCOMPARE(copy.ideas[0], (Idea{QStringLiteral("L'album le plus réussi"), 3}));
    QVERIFY(!copy.builtIn);
    const ExerciseRead read = parseExerciseFile(exerciseFileText(copy));
    QVERIFY(read.exercise);
    QCOMPARE(*read.exercise, copy);
}

void TestExerciseEditing::choiceFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("written");
    QTest::newRow("two, in order") << QStringList{"302-phare.txt", "301-herisson.txt"} << true;
    QTest::newRow("markup in a name") << QStringList{"<b>x<b> &amp; =1+1.txt"} << true;
    QTest::newRow("a slash in markup") << QStringList{"<b>x</b>.txt"} << false;
    QTest::newRow("another folder") << QStringList{"../autre/301.txt"} << false;
    QTest::newRow("a line end in a name") << QStringList{"a.txt\n../b.txt"} << false;
}

void TestExerciseEditing::choiceFile()
{
    QFETCH(QStringList, files);
    QFETCH(bool, written);
    QTemporaryDir folder;
    const QString path = folder.filePath(QLatin1String(choiceFileName));
    QVERIFY(writeFileWhole(path, "ancien.txt\n").isEmpty());
    QFile old(path);
    const QString failure = saveOfferChoice(folder.path(), files);
    QCOMPARE(failure.isEmpty(), written);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const OfferChoice read = parseOfferChoice(old.readAll());
    QCOMPARE(read.files, written ? files : QStringList{"ancien.txt"});
}

void TestExerciseEditing::library()
{
    const QHash<QString, FolderFile> files = {
        {"301-a.txt", {true, false, exerciseFileText(sample("301")), {}}},
        {"302-b.txt", {true, false, "code : 302\n", {}}},
        {"303-c.txt", {false, false, {}, "quelqu'un d'autre peut le modifier"}},
        {"304-d.txt", {true, false, exerciseFileText(sample("301")), {}}},
        {"<b>x</b>.txt", {true, false, exerciseFileText(sample("305")), {}}},
    };
    const auto read = [&files](const QString &name) {
        return files.value(name, FolderFile{false, true, {}, QStringLiteral("il n'existe pas")});
    };
    const FolderFile choice{true, false, "# choix\n303-c.txt\nabsent.txt\n301-a.txt\n", {}};
    const ExerciseLibrary library = libraryFrom(files.keys(), choice, read);
    QCOMPARE(library.offered, (QStringList{"303-c.txt", "absent.txt", "301-a.txt"}));
    QCOMPARE(library.files(), (QStringList{"<b>x</b>.txt", "301-a.txt", "302-b.txt", "303-c.txt", "304-d.txt",
                                           "absent.txt"}));
    const auto entry = [&library](const QString &file) { return library.entries.at(library.indexOf(file)); };
    QVERIFY(entry("301-a.txt").offered && entry("301-a.txt").problem.isEmpty());
    QVERIFY(entry("302-b.txt").problem.contains(QStringLiteral("il manque le titre")));
    QCOMPARE(entry("303-c.txt").problem, QStringLiteral("quelqu'un d'autre peut le modifier"));
    QCOMPARE(entry("absent.txt").problem, QStringLiteral("il n'existe pas"));
    QCOMPARE(entry("304-d.txt").problem, QStringLiteral("le code 301 est déjà celui de 301-a.txt"));
    QVERIFY(!entry("<b>x</b>.txt").offered && entry("<b>x</b>.txt").exercise);
    QCOMPARE(library.codes(), (QStringList{"305", "301", "301"}));
}

void TestExerciseEditing::logsHoldExercise_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<bool>("holds");
    const QByteArray record = "301           Les hirondelles justes: 2 ...\r\n";
    QTest::newRow("a record") << QByteArray("202           Morvel\r\n") + record << true;
    QTest::newRow("the last line, unended") << record.chopped(2) << true;
    QTest::newRow("a longer code") << QByteArray("3011          x\r\n") << false;
    QTest::newRow("the code inside a line") << QByteArray("202   301   x\r\n") << false;
    QTest::newRow("across a block's end") << QByteArray(64 * 1024 - 2, 'x') + "\n30" << false;
    QTest::newRow("a long line starting with it") << QByteArray("301 ") + QByteArray(200 * 1024, 'x') << true;
}

void TestExerciseEditing::logsHoldExercise()
{
    QFETCH(QByteArray, log);
    QFETCH(bool, holds);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("zoe.txt"));
    QVERIFY(writeFileWhole(path, log).isEmpty());
    const LogSource source{{QFile::encodeName(path).toStdString(), QStringLiteral("zoe")}, true};
    QCOMPARE(::logsHoldExercise({source}, QStringLiteral("301")), holds);
}

// The lines the warning says to cut are those the page must lose to fit
// (give or take the line a word wraps to).
void TestExerciseEditing::overflowSaysLinesToCut()
{
    QVERIFY(pageOverflow(copyOf(builtInExercise(), QStringLiteral("305")), {}).fits);
    const QStringList words(1200, QStringLiteral("hirondelle"));
    Exercise long_ = sample();
    long_.paragraphs = {QStringLiteral("1. ") + words.join(u' '), QStringLiteral("2. Fin.")};
    const PageOverflow overflow = pageOverflow(long_, {});
    QVERIFY(!overflow.fits && overflow.passageCanFit);
    QVERIFY(overflow.linesToCut > 5);
    // The words a line holds, as wide as the room lets it; the most that fit.
    const WrappedText text(long_.passage(), pageFont(ReadingFont::Design, 13), smallScreenRoom.width() - 2 * 16);
    const double perLine = double(words.size()) / text.lineCount();
    const auto fits = [&](int count) {
        Exercise shorter = long_;
        shorter.paragraphs[0] = QStringLiteral("1. ") + words.mid(0, count).join(u' ');
        return pageOverflow(shorter, {}).fits;
    };
    int fitting = 0, tooMany = int(words.size());
    while (tooMany - fitting > 1) {
        const int middle = (fitting + tooMany) / 2;
        (fits(middle) ? fitting : tooMany) = middle;
    }
    const double cutLines = (words.size() - fitting) / perLine;
    QVERIFY2(std::abs(cutLines - overflow.linesToCut) <= 2,
             qPrintable(QStringLiteral("said %1, about %2").arg(overflow.linesToCut).arg(cutLines)));
}

// Eleven ideas of two lines: cutting the passage cannot be enough.
void TestExerciseEditing::overflowOfIdeasAlone()
{
    Exercise many = sample();
    many.ideas = QList<Idea>(maxIdeas, {QString(90, u'x').replace(u'x', QStringLiteral("m ")), 1});
    QVERIFY(!pageOverflow(many, {}).fits && !pageOverflow(many, {}).passageCanFit);
}

QTEST_MAIN(TestExerciseEditing)
#include "tst_exerciseediting.moc"
