#include "classrecords.h"
#include "classroom/classreport.h"
#include "classroom/csvexport.h"
#include "classroom/texttable.h"
#include "record/recordreader.h"

#include <QBuffer>
#include <QTest>

// The teacher's table: who did what at the last attempt, which idea the
// class missed, and the same attempts for a spreadsheet.
class TestClassReport : public QObject
{
    Q_OBJECT

private slots:
    void counts();
    void tableLinesUp();
    void frenchOrderAndTies();
    void nothingToReport();
    void csvField_data();
    void csvField();
    void csvRows();
};


namespace {

ReadRecord attempt(const QStringList &answers)
{
    RecordReader reader;
    return reader.read(recordFor(answers).chopped(2)).value();
}

// Three pupils: Zoé twice (wrong, then all right), Léo once, Ana with a log
// but no attempt.
ClassReport aClass()
{
    ClassReport report;
    report.beginPupil(QStringLiteral("Zoé"));
    report.addAttempt(attempt({"1", "1", "2", "1"}));
    report.addAttempt(attempt({"3", "4", "1", "2"}));
    report.beginPupil(QStringLiteral("Léo"));
    report.addAttempt(attempt({"3", "1", "", "2"}));
    report.beginPupil(QStringLiteral("Ana"));
    return report;
}

} // namespace

void TestClassReport::counts()
{
    const ClassReport report = aClass();
    QCOMPARE(report.pupils().size(), 3);
    QCOMPARE(report.attempts(), 3);
    const PupilSummary &zoe = report.pupils().at(0);
    QCOMPARE(zoe.attempts, 2);
    QCOMPARE(zoe.last.score(), 4);
    QCOMPARE(zoe.best, 4);
    QCOMPARE(report.pupils().at(1).last.score(), 2);
    QCOMPARE(report.pupils().at(2).attempts, 0);

    const QList<QuestionSummary> questions = report.questions();
    QCOMPARE(questions.size(), 4);
    QCOMPARE(questions[0].prompt, QStringLiteral("L'album le plus réussi"));
    QCOMPARE(questions[0].right, 2);
    QCOMPARE(questions[0].pupils, 2);
    QCOMPARE(questions[0].expected, QStringLiteral("3"));
    QCOMPARE(questions[1].right, 1);
    QCOMPARE(questions[1].commonestWrong, QStringList{"1"});
    QCOMPARE(questions[1].commonestCount, 1);
    QCOMPARE(questions[2].right, 1);
    QCOMPARE(questions[2].blank, 1);
    QCOMPARE(questions[2].commonestWrong, QStringList()); // an empty answer is no wrong answer
    QCOMPARE(report.meanScore(), 3.0); // last attempts: 4 and 2

    // A better attempt before a worse one: the best is not the last.
    ClassReport fallen;
    fallen.beginPupil(QStringLiteral("Max"));
    fallen.addAttempt(attempt({"3", "4", "1", "2"}));
    fallen.addAttempt(attempt({"1", "1", "2", "1"}));
    QCOMPARE(fallen.pupils().at(0).best, 4);
    QCOMPARE(fallen.pupils().at(0).last.score(), 0);
    QCOMPARE(fallen.meanScore(), 0.0);
}

// Every row's cells start in the same columns as the header's, accents
// counting as one column.
void TestClassReport::tableLinesUp()
{
    const QString table = formatClassReport(aClass());
    const QStringList lines = table.split(u'\n');
    const qsizetype header = lines.indexOf(QStringLiteral("élève  essais  idée 1  idée 2  idée 3  idée 4  score  meilleur"));
    QVERIFY2(header >= 0, qPrintable(table));
    QCOMPARE(lines[header + 1], QStringLiteral("Ana         0") + QString(38, u' ') + QStringLiteral("–") + QString(9, u' ')
                                    + QStringLiteral("–"));
    QCOMPARE(lines[header + 2], QStringLiteral("Léo         1  3 ✓     1 ✗     –       2 ✓       2/4       2/4"));
    QCOMPARE(lines[header + 3], QStringLiteral("Zoé         2  3 ✓     4 ✓     1 ✓     2 ✓       4/4       4/4"));
    QVERIFY2(table.contains(QStringLiteral("idée  question                        paragraphe  justes\n"
                                           "   1  L'album le plus réussi                   3     2/2\n"
                                           "   2  Un personnage inoubliable                4     1/2\n")),
             qPrintable(table));
    // The whole spread, the right paragraph marked: Léo left idea 3 empty,
    // Zoé and Léo chose 4 and 1 for idea 2.
    QVERIFY2(table.contains(QStringLiteral("idée  par. 1  par. 2  par. 3  par. 4  sans réponse  autre\n"
                                           "   1       0       0     2 ✓       0             0      0\n"
                                           "   2       1       0       0     1 ✓             0      0\n"
                                           "   3     1 ✓       0       0       0             1      0\n")),
             qPrintable(table));
    // Léo missed ideas 2 and 3, each by himself: both named, neither first.
    QVERIFY2(table.contains(QStringLiteral("Les idées les plus manquées, chacune par 1 élève sur 2, sont l'idée 2, « Un\n"
                                           "personnage inoubliable » (1 l'a confondue avec le paragraphe 1) et l'idée 3, «\n"
                                           "La présentation de Dorvé » (1 l'a laissée sans réponse).\n")),
             qPrintable(table));
    for (const QString &line : table.split(u'\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    // A login longer than a row has room for is cut, and still fits.
    ClassReport longName = aClass();
    longName.beginPupil(QStringLiteral("marie-élisabeth.de-la-tour-du-pin-chambly"));
    longName.addAttempt(attempt({"3", "1", "", "2"}));
    const QString wide = formatClassReport(longName);
    QVERIFY2(wide.contains(QStringLiteral("\nmarie-élisabeth.de-la…       1  3 ✓")), qPrintable(wide));
    for (const QString &line : wide.split(u'\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    QVERIFY2(table.startsWith(QStringLiteral("Exercice 202 – Morvel-sens paragraphes:(3412) (4 idées)\n")),
             qPrintable(table));
    QVERIFY2(table.endsWith(QStringLiteral("Score moyen au dernier essai : 3,0/4\n")), qPrintable(table));
}

// As a teacher reads a class list: accents and case do not move a name out
// of its letter; tied wrong answers are all named, in numeric order.
void TestClassReport::frenchOrderAndTies()
{
    ClassReport report;
    const QList<QPair<QString, QString>> firstAnswers{
        {"zoé", "4"}, {"élise", "4"}, {"Clément", "12"}, {"chloé", "12"}, {"céline", "3"}};
    for (const auto &[name, answer] : firstAnswers) {
        report.beginPupil(name);
        report.addAttempt(attempt({answer, "4", "1", "2"}));
    }
    QStringList names;
    const QString table = formatClassReport(report);
    for (const QString &line : table.split(u'\n'))
        if (line.contains(u'✓') && line.contains(u'/'))
            names.append(line.section(u' ', 0, 0));
    QCOMPARE(names, (QStringList{"céline", "chloé", "Clément", "élise", "zoé"}));
    QCOMPARE(report.questions()[0].commonestWrong, (QStringList{"4", "12"}));
    // "12" is no paragraph: counted apart.
    QVERIFY2(table.contains(QStringLiteral("   1       0       0     1 ✓       2             0      2\n")), qPrintable(table));
}

void TestClassReport::nothingToReport()
{
    ClassResults results;
    results.beginPupil(QStringLiteral("Ana"));
    QCOMPARE(formatClassResults(results), QStringLiteral("Aucun résultat.\nAucune ligne ignorée.\n"));
    results.addIgnoredLines(3);
    QCOMPARE(formatClassResults(results), QStringLiteral("Aucun résultat.\n3 lignes ignorées.\n"));
}

void TestClassReport::csvField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Zoé" << "Zoé";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("semicolon") << "Dupont; Zoé" << "\"Dupont; Zoé\"";
    QTest::newRow("quote") << "Zoé \"la grande\"" << "\"Zoé \"\"la grande\"\"\"";
    QTest::newRow("line break") << "Zoé\nB" << "\"Zoé\nB\"";
    QTest::newRow("comma needs nothing") << "Dupont, Zoé" << "Dupont, Zoé";
    // What a spreadsheet would run as a formula, made text.
    QTest::newRow("=") << "=1+1" << "'=1+1";
    QTest::newRow("+") << "+1" << "'+1";
    QTest::newRow("-") << "-1" << "'-1";
    QTest::newRow("@") << "@SUM(1)" << "'@SUM(1)";
    QTest::newRow("a tab first") << "\tx" << "'\tx";
    QTest::newRow("a carriage return first") << "\r=1" << "\"'\r=1\"";
    QTest::newRow("a link and its quotes") << "=HYPERLINK(\"http://x\";\"Voir\")"
                                           << "\"'=HYPERLINK(\"\"http://x\"\";\"\"Voir\"\")\"";
    QTest::newRow("a sign inside is nothing") << "1=1" << "1=1";
}

void TestClassReport::csvField()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(::csvField(text), field);
}

void TestClassReport::csvRows()
{
    QBuffer file;
    QVERIFY(file.open(QIODevice::WriteOnly));
    CsvExport csv(file);
    csv.addAttempt(QStringLiteral("Zoé"), 1, attempt({"1", "1", "2", "1"}));
    csv.addAttempt(QStringLiteral("Zoé"), 2, attempt({"3", "4", "", "2"}));
    // An answer no box lets in, longer than the record's zone: cut, flagged.
    csv.addAttempt(QStringLiteral("Zoé"), 3, attempt({"3", "12341234123412", "a", "2"}));
    QVERIFY(csv.ok());
    QCOMPARE(file.data(), QByteArray("\xEF\xBB\xBF"
                                     "\xC3\xA9l\xC3\xA8ve;essai;r\xC3\xA9ponse 1;r\xC3\xA9ponse 2;r\xC3\xA9ponse 3;"
                                     "r\xC3\xA9ponse 4;juste 1;juste 2;juste 3;juste 4;score;remarque;"
                                     "code;exercice;id\xC3\xA9" "es\r\n"
                                     "Zo\xC3\xA9;1;1;1;2;1;0;0;0;0;0;;202;Morvel-sens paragraphes:(3412);4\r\n"
                                     "Zo\xC3\xA9;2;3;4;;2;1;1;0;1;3;;202;Morvel-sens paragraphes:(3412);4\r\n"
                                     "Zo\xC3\xA9;3;3;1234123412341\xE2\x80\xA6;a;2;1;0;0;1;2;"
                                     "r\xC3\xA9ponse qui n'a pas \xC3\xA9t\xC3\xA9 tap\xC3\xA9" "e dans l'exercice;"
                                     "202;Morvel-sens paragraphes:(3412);4\r\n"));
}

QTEST_GUILESS_MAIN(TestClassReport)
#include "tst_classreport.moc"
