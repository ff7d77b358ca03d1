#include "classrecords.h"
#include "safeplace.h"
#include "longexercise.h"
#include "classroom/classreading.h"
#include "classroom/collectfolder.h"
#include "classroom/missedmost.h"
#include "classroom/reportcells.h"
#include "exercisefile/exercisefile.h"
#include "exercisefile/exercisewriter.h"
#include "paths/paths.h"
#include "teacher/ideasmodel.h"
#include "teacher/pupilsmodel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

// What the teacher's window shows, read from class folders and logs as
// they change: rows, the ideas' spread, the sorting of the pupils' table.
class TestClassResults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reading_data();
    void reading();
    void lastAttemptFollowsTheFilesTimes_data();
    void lastAttemptFollowsTheFilesTimes();
    void followsALogAsItGrows();
    void logChanged_data();
    void logChanged();
    void stoppedReadingGoesOn();
    void problemStaysUntilItsFileChanges_data();
    void problemStaysUntilItsFileChanges();
    void ignoredNamesBounded();
    void exercisesOfTheClass_data();
    void exercisesOfTheClass();
    void scoreSortsWeakestFirst();
    void ideasSpread_data();
    void ideasSpread();
    void missedMost_data();
    void missedMost();
    void collectFolderNames();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void write(const QString &name, const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QByteArray allRight() { return recordFor({"3", "4", "1", "2"}); }
QByteArray noneRight() { return recordFor({"1", "1", "2", "1"}); }
QByteArray twoRight() { return recordFor({"3", "1", "", "2"}); }

// "name attempts last/4" for each row of the exercise with the latest
// attempt, in the report's order, and the best score when it is not the last.
QStringList rowsOf(const ClassResults &results)
{
    const ClassReport &report = results.latest();
    QStringList rows;
    for (qsizetype i = 0; i < report.rowCount(); ++i) {
        const PupilSummary row = report.row(i);
        QString text = QStringLiteral("%1 %2 %3/4").arg(row.name).arg(row.attempts).arg(row.last.score());
        if (row.best != row.last.score())
            text += QStringLiteral(" meilleur %1").arg(row.best);
        rows.append(text);
    }
    return rows;
}

} // namespace

void TestClassResults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestClassResults::write(const QString &name, const QByteArray &bytes, QIODevice::OpenMode mode)
{
    QDir().mkpath(QFileInfo(path(name)).path());
    QFile file(path(name));
    QVERIFY(file.open(mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestClassResults::reading_data()
{
    QTest::addColumn<QStringList>("files"); // name=contents, contents by word
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("ignored");

    QTest::newRow("a class") << QStringList{"cm1/zoé.txt=none,all", "cm1/léo.txt=two"} << QStringList{"cm1"}
                             << QStringList{"léo 1 2/4", "zoé 2 4/4"} << QStringList{};
    // Whoever wrote each line, a single file's attempts are rows of their own.
    QTest::newRow("a shared log") << QStringList{"estest.txt=all,none,two"} << QStringList{"estest.txt"}
                                  << QStringList{"essai 1 1 4/4", "essai 2 1 0/4", "essai 3 1 2/4"} << QStringList{};
    QTest::newRow("non-log files") << QStringList{"cm1/léo.txt=two", "cm1/bilan.csv=all", "cm1/notes.md=junk"}
                                   << QStringList{"cm1"} << QStringList{"léo 1 2/4"}
                                   << QStringList{"bilan.csv", "notes.md"};
    QTest::newRow("an empty log is no pupil") << QStringList{"cm1/ana.txt=", "cm1/léo.txt=two"} << QStringList{"cm1"}
                                              << QStringList{"léo 1 2/4"} << QStringList{};
    // The last line has no line end yet: a record being written.
    QTest::newRow("a record half-written") << QStringList{"cm1/zoé.txt=all,half"} << QStringList{"cm1"}
                                           << QStringList{"zoé 1 4/4"} << QStringList{};
}

void TestClassResults::reading()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, ignored);
    const QHash<QString, QByteArray> contents{{"all", allRight()}, {"none", noneRight()}, {"two", twoRight()},
                                              {"junk", "pas un journal\n"}, {"half", allRight().left(100)}};
    for (const QString &file : std::as_const(files)) {
        QByteArray bytes;
        for (const QString &word : file.section(u'=', 1).split(u',', Qt::SkipEmptyParts))
            bytes += contents.value(word);
        write(file.section(u'=', 0, 0), bytes);
    }
    QStringList full;
    for (const QString &name : std::as_const(paths))
        full.append(path(name));
    ClassReading reading(full, LogNaming{});
    reading.refresh();
    QCOMPARE(rowsOf(reading.results()), rows);
    QStringList ignoredNames;
    for (const QString &name : reading.sources().ignored)
        ignoredNames.append(QFileInfo(name).fileName());
    QCOMPARE(ignoredNames, ignored);
    QCOMPARE(reading.problems(), QStringList{});
}

void TestClassResults::lastAttemptFollowsTheFilesTimes_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::newRow("older folder first") << false;
    QTest::newRow("newer folder first") << true;
}

// The pupil's last attempt is the one written last, whatever the order the
// teacher named the folders in.
void TestClassResults::lastAttemptFollowsTheFilesTimes()
{
    QFETCH(bool, reversed);
    write(QStringLiteral("lundi/zoé.txt"), allRight());
    write(QStringLiteral("mardi/zoé.txt"), noneRight());
    QFile older(path(QStringLiteral("lundi/zoé.txt")));
    QVERIFY(older.open(QIODevice::ReadWrite));
    QVERIFY(older.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    older.close();
    QStringList paths{path(QStringLiteral("lundi")), path(QStringLiteral("mardi"))};
    if (reversed)
        std::reverse(paths.begin(), paths.end());
    ClassReading reading(paths, LogNaming{});
    reading.refresh();
    QCOMPARE(rowsOf(reading.results()), QStringList{"zoé 2 0/4 meilleur 4"});
    QCOMPARE(reading.results().latest().questions()[0].right, 0);
}

void TestClassResults::followsALogAsItGrows()
{
    write(QStringLiteral("cm1/zoé.txt"), noneRight() + allRight().left(50));
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{});
    QCOMPARE(reading.refresh(), ClassReading::Change::Reread);
    QCOMPARE(rowsOf(reading.results()), QStringList{"zoé 1 0/4"});
    QCOMPARE(reading.refresh(), ClassReading::Change::None);

    // The record's end arrives: read from where the last reading stopped.
    write(QStringLiteral("cm1/zoé.txt"), allRight().mid(50), QIODevice::Append);
    QCOMPARE(reading.refresh(), ClassReading::Change::Added);
    QCOMPARE(rowsOf(reading.results()), QStringList{"zoé 2 4/4"});
    QCOMPARE(reading.results().ignoredLines(), 0);

    // A new pupil, then a collect that leaves the log empty: read again.
    write(QStringLiteral("cm1/léo.txt"), twoRight());
    QCOMPARE(reading.refresh(), ClassReading::Change::Reread);
    QCOMPARE(rowsOf(reading.results()).size(), 2);
    write(QStringLiteral("cm1/zoé.txt"), {});
    QCOMPARE(reading.refresh(), ClassReading::Change::Reread);
    QCOMPARE(rowsOf(reading.results()), QStringList{"léo 1 2/4"});
}

void TestClassResults::logChanged_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("how"); // append; rewrite, the same file; replace, by another file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<ClassReading::Change>("change");
    using Change = ClassReading::Change;
    QTest::newRow("grown: read on") << allRight() << "append" << noneRight() << QStringList{"zoé 2 0/4 meilleur 4"}
                                    << Change::Added;
    QTest::newRow("rewritten to the same length")
        << allRight() + noneRight() << "rewrite" << twoRight() + twoRight() << QStringList{"zoé 2 2/4"}
        << Change::Reread;
    QTest::newRow("rewritten longer") << allRight() << "rewrite" << noneRight() + noneRight() + twoRight()
                                      << QStringList{"zoé 3 2/4"} << Change::Reread;
    QTest::newRow("replaced by a longer one") << allRight() << "replace" << noneRight() + noneRight() + twoRight()
                                              << QStringList{"zoé 3 2/4"} << Change::Reread;
    QTest::newRow("replaced by one as long") << allRight() << "replace" << noneRight() << QStringList{"zoé 1 0/4"}
                                             << Change::Reread;
    QTest::newRow("shrunk") << allRight() + noneRight() << "rewrite" << twoRight() << QStringList{"zoé 1 2/4"}
                            << Change::Reread;
    // The end of a line too long to be a record is no record either.
    QTest::newRow("the end of an overlong line") << QByteArray(3 << 20, '2') << "append" << allRight()
                                                 << QStringList{} << Change::Added;
}

// One identity for a log between readings: read on only when it is the same
// file, grown, the bytes already read still there; read whole otherwise.
void TestClassResults::logChanged()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, how);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, rows);
    QFETCH(ClassReading::Change, change);
    write(QStringLiteral("cm1/zoé.txt"), before);
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{});
    reading.refresh();
    if (how == QLatin1String("append")) {
        write(QStringLiteral("cm1/zoé.txt"), after, QIODevice::Append);
    } else if (how == QLatin1String("rewrite")) {
        write(QStringLiteral("cm1/zoé.txt"), after);
    } else {
        write(QStringLiteral("cm1/zoé.new"), after);
        std::filesystem::rename(localPath(path(QStringLiteral("cm1/zoé.new"))),
                                localPath(path(QStringLiteral("cm1/zoé.txt"))));
    }
    QCOMPARE(reading.refresh(), change);
    QCOMPARE(rowsOf(reading.results()), rows);
    QCOMPARE(reading.refresh(), ClassReading::Change::None);
}

// A reading stopped half-way goes on from where it stopped.
void TestClassResults::stoppedReadingGoesOn()
{
    write(QStringLiteral("cm1/ana.txt"), twoRight().repeated(600)); // several blocks
    write(QStringLiteral("cm1/zoé.txt"), allRight());
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{});
    int told = 0;
    reading.refresh([&told](qint64, qint64) { return ++told < 2; });
    QVERIFY(reading.stopped());
    QVERIFY(reading.results().attempts() < 600);
    qint64 toRead = 0;
    QCOMPARE(reading.refresh([&toRead](qint64, qint64 total) {
        toRead = total;
        return true;
    }), ClassReading::Change::Added);
    QVERIFY(!reading.stopped());
    QVERIFY(toRead < twoRight().size() * 600);
    QCOMPARE(rowsOf(reading.results()), (QStringList{"ana 600 2/4", "zoé 1 4/4"}));
}

void TestClassResults::problemStaysUntilItsFileChanges_data()
{
    QTest::addColumn<bool>("planted"); // an empty file of a classmate's, or a sparse one
    QTest::addColumn<QByteArray>("then"); // zoé's file becomes: empty, it goes
    QTest::addColumn<QStringList>("rows");
#ifdef Q_OS_WIN
    QSKIP("neither owners nor sparse files are looked at on Windows");
#endif
    QTest::newRow("planted by a classmate; it goes") << true << QByteArray() << QStringList{"léo 2 4/4"};
    QTest::newRow("sparse; it goes") << false << QByteArray() << QStringList{"léo 2 4/4"};
    QTest::newRow("sparse; it becomes a log") << false << allRight() << QStringList{"léo 2 4/4", "zoé 1 4/4"};
}

// What could not be read is said while its file is as it was, whatever
// the other pupils write meanwhile.
void TestClassResults::problemStaysUntilItsFileChanges()
{
    QFETCH(bool, planted);
    QFETCH(QByteArray, then);
    QFETCH(QStringList, rows);
    write(QStringLiteral("cm1/léo.txt"), twoRight());
    write(QStringLiteral("cm1/zoé.txt"), {});
#ifndef Q_OS_WIN
    if (planted && ::chown(QFile::encodeName(path(QStringLiteral("cm1/zoé.txt"))).constData(), 65534, 65534) != 0)
        QSKIP("only root can give a file to another account");
#endif
    if (!planted)
        QVERIFY(QFile::resize(path(QStringLiteral("cm1/zoé.txt")), 8 << 20)); // never read
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{});
    reading.refresh();
    QCOMPARE(reading.problems().size(), 1);
    QVERIFY(reading.problems().constFirst().contains(planted ? QStringLiteral("zoé.txt : il appartient à ")
                                                             : QStringLiteral("zoé.txt : le fichier est creux")));
    const QStringList problems = reading.problems();

    write(QStringLiteral("cm1/léo.txt"), allRight(), QIODevice::Append);
    QCOMPARE(reading.refresh(), ClassReading::Change::Added);
    QCOMPARE(reading.problems(), problems);

    if (then.isEmpty())
        QVERIFY(QFile::remove(path(QStringLiteral("cm1/zoé.txt"))));
    else
        write(QStringLiteral("cm1/zoé.txt"), then);
    QCOMPARE(reading.refresh(), ClassReading::Change::Reread);
    QCOMPARE(reading.problems(), QStringList{});
    QCOMPARE(rowsOf(reading.results()), rows);
}

// A classmate's thousands of files cost a bounded list of names and a count.
void TestClassResults::ignoredNamesBounded()
{
    write(QStringLiteral("cm1/léo.txt"), twoRight());
    for (int i = 249; i >= 0; --i)
        write(QStringLiteral("cm1/f%1").arg(i, 3, 10, QLatin1Char('0')), {});
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{});
    reading.refresh();
    const ClassSources &sources = reading.sources();
    QCOMPARE(sources.ignoredCount, 250);
    QCOMPARE(sources.ignored.size(), ignoredNamesKept);
    QVERIFY(sources.ignored.constFirst().endsWith(QStringLiteral("f000")));
    QVERIFY(sources.ignored.constLast().endsWith(QStringLiteral("f199")));
    QCOMPARE(otherIgnoredFiles(sources.ignored.size(), sources.ignoredCount),
             QStringLiteral("… et 50 autres fichiers ignorés"));
    QCOMPARE(rowsOf(reading.results()), QStringList{"léo 1 2/4"});
}

void TestClassResults::exercisesOfTheClass_data()
{
    QTest::addColumn<bool>("named"); // the teacher names the exercise's file; else it is in the machine's folder
    QTest::newRow("in the machine's folder, offered or not") << false;
    QTest::newRow("named by the teacher") << true;
}

// Each record read by its own exercise's prompts, and each exercise's rows
// apart; a pupil's attempt at an exercise done before another is known only
// to have come before their log last changed.
void TestClassResults::exercisesOfTheClass()
{
    QFETCH(bool, named);
#ifdef Q_OS_WIN
    if (!named)
        QSKIP("the machine's setting is a registry key on Windows; windows_exercise names the folder by policy");
#endif
    const Exercise teachers = parseExerciseFile(exerciseFileText(longExercise())).exercise.value();
    write(QStringLiteral("exercices/311-phare.txt"), exerciseFileText(teachers));
    write(QStringLiteral("exercices/312-casse.txt"), "code : 312\n");
    write(QStringLiteral("morvel2.conf"), "[exercises]\nfolder=" + path(QStringLiteral("exercices")).toUtf8() + "\n");
    if (!named)
        MORVEL2_SKIP_UNLESS_SAFE_PLACE(path(QStringLiteral("exercices")));
    const auto changedAt = [&](const QString &name, int hour) {
        QFile log(path(name));
        QVERIFY(log.open(QIODevice::ReadWrite));
        QVERIFY(log.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(hour, 0)), QFileDevice::FileModificationTime));
    };
    const QByteArray longOne = recordFor(teachers, {"5", "3", "7", "2", "9", "6", "1", "4", "8", "2", "1"});
    write(QStringLiteral("cm1/zoé.txt"), allRight());
    write(QStringLiteral("cm1/léo.txt"), longOne);
    changedAt(QStringLiteral("cm1/zoé.txt"), 10);
    changedAt(QStringLiteral("cm1/léo.txt"), 11);
    const ExerciseLookup lookup = named ? ExerciseLookup{{}, {path(QStringLiteral("exercices/311-phare.txt"))}}
                                        : ExerciseLookup{{path(QStringLiteral("morvel2.conf"))}, {}};
    ClassReading reading({path(QStringLiteral("cm1"))}, LogNaming{}, lookup);
    reading.refresh();
    const auto shown = [&reading] {
        QStringList exercises;
        for (const ExerciseKey &key : reading.results().exercises()) {
            const ClassReport &report = reading.results().report(key);
            QStringList rows;
            for (const PupilSummary &row : report.pupils())
                rows.append(QStringLiteral("%1 %2 %3").arg(row.name, scoreCell(row.last.score(), report.outOf()),
                                                           lastChangedCell(row)));
            exercises.append(exerciseTitle(report) + QStringLiteral(": ") + rows.join(QStringLiteral(", ")));
        }
        return exercises;
    };
    const QString phare = QStringLiteral("311 – Le phare de Kerbrune (11 idées): léo 10/11 09/12/2026 11:00");
    QCOMPARE(shown(), (QStringList{phare, "202 – Morvel-sens paragraphes:(3412) (4 idées): zoé 4/4 09/12/2026 10:00"}));
    QCOMPARE(reading.exerciseProblems().size(), named ? 0 : 1);
    if (!named)
        QVERIFY2(reading.exerciseProblems().constFirst().startsWith(QStringLiteral("312-casse.txt n'est pas un exercice valable")),
                 qPrintable(reading.exerciseProblems().constFirst()));

    // Zoé does the teacher's exercise: read on, her attempts apart.
    write(QStringLiteral("cm1/zoé.txt"), longOne, QIODevice::Append);
    changedAt(QStringLiteral("cm1/zoé.txt"), 12);
    QCOMPARE(reading.refresh(), ClassReading::Change::Added);
    QCOMPARE(shown(), (QStringList{phare + ", zoé 10/11 09/12/2026 12:00",
                                   "202 – Morvel-sens paragraphes:(3412) (4 idées): zoé 4/4 09/12/2026 10:00"}));
    // Read whole again, her log says only that her first attempt came before noon.
    write(QStringLiteral("cm1/ana.txt"), noneRight());
    changedAt(QStringLiteral("cm1/ana.txt"), 9);
    QCOMPARE(reading.refresh(), ClassReading::Change::Reread);
    QCOMPARE(shown(), (QStringList{phare + ", zoé 10/11 09/12/2026 12:00",
                                   "202 – Morvel-sens paragraphes:(3412) (4 idées): ana 0/4 09/12/2026 09:00, "
                                   "zoé 4/4 avant le 09/12/2026 12:00"}));
}

void TestClassResults::scoreSortsWeakestFirst()
{
    ClassReport report;
    const QList<QPair<QString, QByteArray>> pupils{
        {"Zoé", allRight()}, {"ana", twoRight()}, {"Élise", noneRight()}, {"chloé", allRight()}};
    RecordReader reader;
    for (const auto &[name, line] : pupils) {
        report.beginPupil(name);
        report.addAttempt(reader.read(line.chopped(2)).value());
    }
    PupilsModel model;
    const QAbstractItemModelTester checked(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setReport(report);
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    const QAbstractItemModelTester checkedSorted(&sorted, QAbstractItemModelTester::FailureReportingMode::QtTest);
    sorted.setSortRole(PupilsModel::SortRole);
    const auto column = [&](int c) {
        QStringList cells;
        for (int row = 0; row < sorted.rowCount(); ++row)
            cells.append(sorted.index(row, c).data().toString());
        return cells;
    };
    QCOMPARE(column(PupilsModel::Name), (QStringList{"ana", "chloé", "Élise", "Zoé"}));
    const auto initial = model.headerData(model.scoreColumn(), Qt::Horizontal, Qt::InitialSortOrderRole);
    sorted.sort(model.scoreColumn(), Qt::SortOrder(initial.toInt()));
    // Ties keep French order.
    QCOMPARE(column(PupilsModel::Name), (QStringList{"Élise", "ana", "chloé", "Zoé"}));
    QCOMPARE(column(model.scoreColumn()), (QStringList{"0/4", "2/4", "4/4", "4/4"}));
    sorted.sort(PupilsModel::Idea1 + 2, Qt::AscendingOrder);
    QCOMPARE(column(PupilsModel::Idea1 + 2), (QStringList{"–", "2 ✗", "1 ✓", "1 ✓"}));
}

void TestClassResults::ideasSpread_data()
{
    QTest::addColumn<bool>("teachers"); // nine paragraphs, eleven ideas
    QTest::addColumn<QStringList>("answers"); // zoé's, léo's, ana's
    QTest::addColumn<int>("expected");        // idea 1's paragraph
    QTest::addColumn<int>("chosen");          // the one léo and ana chose instead
    QTest::addColumn<int>("columns");
    QTest::newRow("the built-in exercise") << false << QStringList{"3,4,1,2", "2,4,,2", "2,1,12,2"} << 3 << 2 << 10;
    QTest::newRow("nine paragraphs, eleven ideas")
        << true
        << QStringList{"5,3,7,2,9,6,1,4,8,2,6", "9,3,,2,9,6,1,4,8,2,6", "9,3,12,2,9,6,1,4,8,2,6"} << 5 << 9 << 15;
}

void TestClassResults::ideasSpread()
{
    QFETCH(bool, teachers);
    QFETCH(QStringList, answers);
    QFETCH(int, expected);
    QFETCH(int, chosen);
    QFETCH(int, columns);
    const Exercise exercise = teachers ? longExercise() : builtInExercise();
    ClassReport report(ReportRows::Pupils, false, exercise);
    const RecordReader reader(std::make_shared<const KnownExercises>(QList<Exercise>{longExercise()}));
    const QStringList names{"zoé", "léo", "ana"};
    for (qsizetype i = 0; i < names.size(); ++i) {
        report.beginPupil(names.at(i));
        report.addAttempt(reader.read(recordFor(exercise, answers.at(i).split(u',')).chopped(2)).value());
    }
    IdeasModel model;
    const QAbstractItemModelTester checked(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setReport(report);
    QCOMPARE(model.rowCount(), exercise.ideaCount());
    QCOMPARE(model.columnCount(), columns);
    QCOMPARE(model.headerData(columns - 3, Qt::Horizontal).toString(), QStringLiteral("par. %1").arg(exercise.paragraphCount()));
    QCOMPARE(model.headerData(columns - 1, Qt::Horizontal).toString(), QStringLiteral("autre"));
    const auto cell = [&](int row, int column) { return model.index(row, column).data().toString(); };
    // The counts themselves are the report's (tst_classreport); here, what the
    // table adds: the right paragraph marked, a share for the bars.
    const auto choice = [](int paragraph) { return AnswerChoice(paragraph); };
    QCOMPARE(cell(0, model.columnOf(choice(expected))), QStringLiteral("1 ✓"));
    const QModelIndex confused = model.index(0, model.columnOf(choice(chosen)));
    QCOMPARE(confused.data().toString(), QStringLiteral("2"));
    QCOMPARE(confused.data(IdeasModel::SpreadRole).toDouble(), 2.0 / 3);
    QCOMPARE(IdeasModel::choiceAt(confused), std::optional(choice(chosen)));
    QCOMPARE(report.whoChose(0, choice(chosen)), (QStringList{"ana", "léo"}));
    QCOMPARE(report.whoChose(2, AnswerChoice::Blank), QStringList{"léo"});
    QCOMPARE(report.whoChose(2, AnswerChoice::Other), QStringList{"ana"});
}

void TestClassResults::missedMost_data()
{
    QTest::addColumn<QList<QStringList>>("attempts");
    QTest::addColumn<QString>("sentence");
    QTest::newRow("none missed") << QList<QStringList>{{"3", "4", "1", "2"}}
                                 << "Toutes les idées sont justes au dernier essai.";
    QTest::newRow("confused with a paragraph")
        << QList<QStringList>{{"3", "2", "1", "2"}, {"3", "2", "1", "2"}, {"3", "1", "1", "2"}, {"1", "4", "1", "2"}}
        << "L'idée la plus manquée est l'idée 2, « Un personnage inoubliable » : 3 élèves sur 4 ne l'ont pas "
           "trouvée ; 2 l'ont confondue avec le paragraphe 2.";
    QTest::newRow("left empty more than confused")
        << QList<QStringList>{{"3", "4", "", "2"}, {"3", "4", "", "2"}, {"3", "4", "2", "2"}}
        << "L'idée la plus manquée est l'idée 3, « La présentation de Dorvé » : 3 élèves sur 3 ne l'ont pas "
           "trouvée ; 2 l'ont laissée sans réponse.";
    // Ties are named, whichever comes first.
    QTest::newRow("ideas tied") << QList<QStringList>{{"4", "3", "1", "2"}}
                                << "Les idées les plus manquées, chacune par 1 élève sur 1, sont l'idée 1, « L'album le "
                                   "plus réussi » (1 l'a confondue avec le paragraphe 4) et l'idée 2, « Un personnage "
                                   "inoubliable » (1 l'a confondue avec le paragraphe 3).";
    QTest::newRow("paragraphs tied")
        << QList<QStringList>{{"3", "2", "1", "2"}, {"3", "1", "1", "2"}}
        << "L'idée la plus manquée est l'idée 2, « Un personnage inoubliable » : 2 élèves sur 2 ne l'ont pas trouvée ; "
           "1 l'a confondue avec le paragraphe 1 et 1 avec le paragraphe 2.";
    QTest::newRow("left empty as often as confused")
        << QList<QStringList>{{"3", "", "1", "2"}, {"3", "1", "1", "2"}, {"3", "1", "1", "2"}, {"3", "", "1", "2"}}
        << "L'idée la plus manquée est l'idée 2, « Un personnage inoubliable » : 4 élèves sur 4 ne l'ont pas trouvée ; "
           "2 l'ont confondue avec le paragraphe 1 et 2 l'ont laissée sans réponse.";
    QTest::newRow("confused once more than left empty")
        << QList<QStringList>{{"3", "", "1", "2"}, {"3", "1", "1", "2"}, {"3", "1", "1", "2"}}
        << "L'idée la plus manquée est l'idée 2, « Un personnage inoubliable » : 3 élèves sur 3 ne l'ont pas trouvée ; "
           "2 l'ont confondue avec le paragraphe 1.";
    QTest::newRow("only answers no paragraph is")
        << QList<QStringList>{{"3", "12", "1", "2"}}
        << "L'idée la plus manquée est l'idée 2, « Un personnage inoubliable » : 1 élève sur 1 ne l'a pas trouvée.";
    QTest::newRow("nothing read") << QList<QStringList>{} << "";
}

void TestClassResults::missedMost()
{
    QFETCH(QList<QStringList>, attempts);
    QFETCH(QString, sentence);
    ClassReport report;
    RecordReader reader;
    int pupil = 0;
    for (const QStringList &answers : std::as_const(attempts)) {
        report.beginPupil(QString::number(++pupil));
        report.addAttempt(reader.read(recordFor(answers).chopped(2)).value());
    }
    QCOMPARE(missedMostSentence(report), sentence);
}

void TestClassResults::collectFolderNames()
{
    const QDateTime when(QDate(2026, 12, 9), QTime(10, 42));
    QStringList taken;
    const auto isTaken = [&taken](const QString &name) { return taken.contains(name); };
    QCOMPARE(collectFolderName(QStringLiteral("cm1"), when, isTaken), QStringLiteral("cm1 2026-12-09 10h42"));
    taken = {QStringLiteral("cm1 2026-12-09 10h42"), QStringLiteral("cm1 2026-12-09 10h42 (2)")};
    QCOMPARE(collectFolderName(QStringLiteral("cm1"), when, isTaken), QStringLiteral("cm1 2026-12-09 10h42 (3)"));
}

QTEST_MAIN(TestClassResults)
#include "tst_classresults.moc"
