#include "classrecords.h"
#include "classroom/classreport.h"
#include "classroom/csvexport.h"
#include "classroom/moodleexport.h"
#include "classroom/reportcells.h"
#include "classroom/texttable.h"
#include "longexercise.h"
#include "record/recordreader.h"

#include <QBuffer>
#include <QTest>

// The teacher's table: who did what at the last attempt, which idea the
// class missed, each exercise apart, and the same attempts for a
// spreadsheet and for Moodle.
class TestClassReport : public QObject
{
    Q_OBJECT

private slots:
    void counts();
    void tableLinesUp();
    void frenchOrderAndTies();
    void nothingToReport();
    void exercisesApart_data();
    void exercisesApart();
    void wideExerciseFits();
    void csvField_data();
    void csvField();
    void csvRows();
    void moodleFile_data();
    void moodleFile();
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

// The teacher's exercise of nine paragraphs and eleven ideas, its title
// holding the CSV's separator.
Exercise teachers()
{
    Exercise exercise = longExercise();
    exercise.label = QStringLiteral("Le phare, la nuit");
    return exercise;
}

// A class's records, each "pupil exercise answers": exercise "b" the
// built-in one, "l" the teacher's, "u" the teacher's where its file is not
// at hand; answers comma-separated.
ClassResults classOf(const QStringList &attempts)
{
    const auto known = std::make_shared<const KnownExercises>(QList<Exercise>{teachers()});
    const RecordReader reader(known);
    const RecordReader notAtHand;
    ClassResults results(ReportRows::Pupils, false, known);
    for (const QString &line : attempts) {
        const QStringList parts = line.split(u' ');
        const QStringList answers = parts.at(2).split(u',');
        const bool builtIn = parts.at(1) == u"b";
        const QByteArray bytes = (builtIn ? recordFor(answers) : recordFor(teachers(), answers)).chopped(2);
        results.beginPupil(parts.at(0));
        results.addAttempt((parts.at(1) == u"u" ? notAtHand : reader).read(bytes).value());
    }
    return results;
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

void TestClassReport::exercisesApart_data()
{
    QTest::addColumn<QStringList>("attempts");
    QTest::addColumn<QStringList>("exercises"); // the latest first: its title, then each row
    const QString allRight = QStringLiteral("5,3,7,2,9,6,1,4,8,2,6");
    QTest::newRow("two exercises in one log never mixed")
        << QStringList{"zoé b 3,4,1,2", "zoé l " + allRight, "léo l 5,9,,2,9,12,1,4,8,2,6", "zoé b 1,1,2,1"}
        << QStringList{"202 – Morvel-sens paragraphes:(3412) (4 idées): zoé 2 0/4 meilleur 4/4",
                       "311 – Le phare, la nuit (11 idées): zoé 1 11/11, léo 1 8/11"};
    QTest::newRow("an exercise not known, counted by code and label")
        << QStringList{"max u 5,9,,2,9,12,1,4,8,2,6", "zoé b 3,4,1,2"}
        << QStringList{"202 – Morvel-sens paragraphes:(3412) (4 idées): zoé 1 4/4",
                       "311 – Le phare, la nuit (exercice inconnu): max 1 8"};
    QTest::newRow("known and not known, apart") << QStringList{"ana l " + allRight, "ana u " + allRight}
                                                << QStringList{"311 – Le phare, la nuit (exercice inconnu): ana 1 11",
                                                               "311 – Le phare, la nuit (11 idées): ana 1 11/11"};
}

void TestClassReport::exercisesApart()
{
    QFETCH(QStringList, attempts);
    QFETCH(QStringList, exercises);
    const ClassResults results = classOf(attempts);
    QStringList found;
    for (const ExerciseKey &key : results.exercises()) {
        const ClassReport &report = results.report(key);
        QStringList rows;
        for (const PupilSummary &row : report.pupils())
            rows.append(QStringLiteral("%1 %2 %3").arg(row.name).arg(row.attempts).arg(scoreCell(row.last.score(), report.outOf()))
                        + (row.best != row.last.score() ? QStringLiteral(" meilleur %1").arg(scoreCell(row.best, report.outOf()))
                                                       : QString()));
        found.append(exerciseTitle(report) + QStringLiteral(": ") + rows.join(QStringLiteral(", ")));
        // Its ideas' spread counts its own rows alone.
        for (const QuestionSummary &question : report.questions())
            QCOMPARE(question.pupils, report.rowsWithAttempt());
    }
    QCOMPARE(found, exercises);
    QCOMPARE(results.attempts(), attempts.size());
    QVERIFY(results.hasAttempts(QStringLiteral("311")));
    QVERIFY(!results.hasAttempts(QStringLiteral("303")));
}

// Nine paragraphs, eleven ideas: every choice counted, the tables still 80
// columns wide.
void TestClassReport::wideExerciseFits()
{
    const ClassResults results = classOf({"zoé l 5,3,7,2,9,6,1,4,8,2,6", "léo l 5,9,,2,9,12,1,4,8,2,6",
                                          "ana l 9,3,7,2,1,6,1,4,8,2,6"});
    const ClassReport &report = results.latest();
    const QList<QuestionSummary> questions = report.questions();
    QCOMPARE(questions.size(), 11);
    QCOMPARE(questions[0].count(AnswerChoice::Paragraph5), 2);
    QCOMPARE(questions[0].count(AnswerChoice::Paragraph9), 1);
    QCOMPARE(questions[2].count(AnswerChoice::Blank), 1);
    QCOMPARE(questions[5].count(AnswerChoice::Other), 1); // "12" is no paragraph
    QCOMPARE(report.whoChose(0, AnswerChoice::Paragraph9), QStringList{"ana"});
    QCOMPARE(answerChoices(9).size(), 11);
    const QString table = formatClassReport(report);
    for (const QString &line : table.split(u'\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
    QVERIFY2(table.contains(QStringLiteral("élève  essais  score  meilleur\n")), qPrintable(table));
    // The answers, which the rows have no room for, in a table of their own.
    QVERIFY2(table.contains(QStringLiteral("léo    5 ✓  9 ✗  –    2 ✓  9 ✓  12 ✗  1 ✓")), qPrintable(table));
    QVERIFY2(table.contains(QStringLiteral("idée   p1   p2   p3   p4   p5   p6   p7   p8   p9  vide  autre\n"
                                           "   1    0    0    0    0  2 ✓    0    0    0    1     0      0\n")),
             qPrintable(table));
    QVERIFY2(table.contains(QStringLiteral("Score moyen au dernier essai : 9,3/11\n")), qPrintable(table));
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

void TestClassReport::moodleFile_data()
{
    QTest::addColumn<QStringList>("attempts");
    QTest::addColumn<QString>("file");
    const QString builtIn = QStringLiteral("202 Morvel-sens paragraphes:(3412) (sur 4)");
    QTest::newRow("each pupil's best score") << QStringList{"zoé b 3,4,1,2", "zoé b 1,1,2,1", "léo b 3,1,,2"}
                                             << "username," + builtIn + "\r\nléo,2\r\nzoé,4\r\n";
    // The latest exercise first; a title holding a comma quoted.
    QTest::newRow("two exercises, a pupil without one")
        << QStringList{"zoé b 3,4,1,2", "léo l 5,9,,2,9,12,1,4,8,2,6"}
        << "username,\"311 Le phare, la nuit (sur 11)\"," + builtIn + "\r\nléo,8,\r\nzoé,,4\r\n";
    QTest::newRow("an exercise not known left out") << QStringList{"max u 5,3,7,2,9,6,1,4,8,2,6", "zoé b 3,4,1,2"}
                                                    << "username," + builtIn + "\r\nzoé,4\r\n";
    QTest::newRow("logins apart by case alone are one") << QStringList{"Zoé b 1,1,2,1", "zoé b 3,4,1,2"}
                                                        << "username," + builtIn + "\r\nzoé,4\r\n";
    QTest::newRow("a login like a formula") << QStringList{"=1+1 b 3,4,1,2"}
                                            << "username," + builtIn + "\r\n'=1+1,4\r\n";
    QTest::newRow("nothing known to give") << QStringList{"max u 5,3,7,2,9,6,1,4,8,2,6"} << "username\r\n";
}

// What Moodle's grade import reads: a header, "username", a column per
// exercise; comma-separated UTF-8 without a byte-order mark.
void TestClassReport::moodleFile()
{
    QFETCH(QStringList, attempts);
    QFETCH(QString, file);
    QBuffer written;
    QVERIFY(written.open(QIODevice::WriteOnly));
    QVERIFY(writeMoodleCsv(written, classOf(attempts)));
    QCOMPARE(QString::fromUtf8(written.data()), file);
}

QTEST_GUILESS_MAIN(TestClassReport)
#include "tst_classreport.moc"
