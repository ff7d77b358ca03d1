#include "classrecords.h"
#include "classroom/logreader.h"
#include "longexercise.h"
#include "paths/paths.h"

#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// Reading a collected log back: the records of this exercise, whole and in
// order, and everything else counted as ignored, never a crash.
class TestLogReader : public QObject
{
    Q_OBJECT

private slots:
    void records_data();
    void records();
    void unreadableLog_data();
    void unreadableLog();
};

using Attempts = QList<QStringList>;

void TestLogReader::records_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<Attempts>("attempts"); // the answers of each record found, in order
    QTest::addColumn<QList<int>>("scores");
    QTest::addColumn<qint64>("ignored");

    const QStringList workedExample{"3", "4", "2", "2"};
    const QStringList allRight{"3", "4", "1", "2"};
    const QStringList noneRight{"1", "1", "2", "1"};
    const QStringList empty{"", "", "", ""};
    const QByteArray example = recordFor(workedExample);
    QByteArray lfOnly = recordFor(allRight);
    lfOnly.replace("\r\n", "\n");
    QByteArray otherExercise = example;
    otherExercise.replace(0, 3, "201");
    QByteArray handEdited = example;
    handEdited.replace("justes: 3 ", "justes: 4 ");
    QByteArray invalidBytes = example;
    invalidBytes.replace("\xe9", "\x81"); // a byte Windows-1252 leaves undefined

    QTest::newRow("worked example") << example << Attempts{workedExample} << QList<int>{3} << qint64(0);
    QTest::newRow("all right") << recordFor(allRight) << Attempts{allRight} << QList<int>{4} << qint64(0);
    QTest::newRow("none right") << recordFor(noneRight) << Attempts{noneRight} << QList<int>{0} << qint64(0);
    QTest::newRow("empty answers") << recordFor(empty) << Attempts{empty} << QList<int>{0} << qint64(0);
    QTest::newRow("long answer") << recordFor({"1234", "4", "", "2"}) << Attempts{{"1234", "4", "", "2"}}
                                 << QList<int>{2} << qint64(0);
    // Judged whole, kept cut as every table shows it.
    QTest::newRow("an answer far longer than its zone") << recordFor({"3", QString(300, u'4'), "", "2"})
                                                        << Attempts{{"3", QString(13, u'4') + u'…', "", "2"}}
                                                        << QList<int>{2} << qint64(0);
    QTest::newRow("LF-only line") << lfOnly << Attempts{allRight} << QList<int>{4} << qint64(0);
    QTest::newRow("blank lines are nothing") << "\r\n" + example + "\n   \r\n" << Attempts{workedExample}
                                             << QList<int>{3} << qint64(0);
    // Its file not at hand: counted by its code and label, with its score, its answers unread.
    QTest::newRow("an exercise not known") << otherExercise + example << Attempts{{}, workedExample}
                                           << QList<int>{3, 3} << qint64(0);
    QTest::newRow("junk") << "bonjour\r\n" + example + QByteArray("\x00\xff\r\n", 4) << Attempts{workedExample}
                          << QList<int>{3} << qint64(2);
    QTest::newRow("hand-edited count") << handEdited << Attempts{} << QList<int>{} << qint64(1);
    QTest::newRow("invalid bytes") << invalidBytes << Attempts{} << QList<int>{} << qint64(1);
    QTest::newRow("torn last line") << example + example.first(200) << Attempts{workedExample} << QList<int>{3}
                                    << qint64(1);
    QTest::newRow("cut just before its line end") << example + example.chopped(2) << Attempts{workedExample}
                                                  << QList<int>{3} << qint64(1);
    QTest::newRow("line longer than any record") << QByteArray(3 << 20, '2') + "\r\n" + example
                                                 << Attempts{workedExample} << QList<int>{3} << qint64(1);
    QTest::newRow("line longer than any record, last, without its end")
        << example + QByteArray(3 << 20, '2') << Attempts{workedExample} << QList<int>{3} << qint64(1);
    QTest::newRow("two attempts in order") << recordFor(noneRight) + recordFor(allRight)
                                           << Attempts{noneRight, allRight} << QList<int>{0, 4} << qint64(0);
    QTest::newRow("empty log") << QByteArray() << Attempts{} << QList<int>{} << qint64(0);
    // More than one read's worth: a record cut by the end of a block.
    QTest::newRow("records across the reader's blocks") << recordFor(allRight).repeated(300)
                                                        << Attempts(300, allRight) << QList<int>(300, 4) << qint64(0);

    // A teacher's exercise (known to every row), read by its own prompts and key.
    const Exercise teachers = longExercise();
    const QStringList allRightLong{"5", "3", "7", "2", "9", "6", "1", "4", "8", "2", "6"};
    const QStringList someLong{"5", "9", "", "2", "9", "12", "1", "4", "8", "2", "6"};
    const QByteArray longRecord = recordFor(teachers, someLong);
    Exercise otherPrompts = teachers;
    otherPrompts.ideas[3].prompt = QStringLiteral("Le métier du gardien de phare N°");
    Exercise notAtHand = teachers;
    notAtHand.code = QStringLiteral("312");
    QByteArray scoreNotCount = recordFor(notAtHand, allRightLong);
    scoreNotCount.replace("score:11", "score:10");
    QTest::newRow("a teacher's exercise") << recordFor(teachers, allRightLong) << Attempts{allRightLong}
                                          << QList<int>{11} << qint64(0);
    QTest::newRow("a teacher's exercise, some wrong, one no paragraph") << longRecord << Attempts{someLong}
                                                                        << QList<int>{8} << qint64(0);
    QTest::newRow("a teacher's exercise, its file not at hand") << recordFor(notAtHand, someLong) << Attempts{{}}
                                                                << QList<int>{8} << qint64(0);
    // The same code and title over other prompts: not that exercise.
    QTest::newRow("its title over other prompts") << recordFor(otherPrompts, allRightLong) << Attempts{}
                                                  << QList<int>{} << qint64(1);
    QTest::newRow("an exercise not known, its score not its count") << scoreNotCount << Attempts{} << QList<int>{}
                                                                    << qint64(1);
    QTest::newRow("two exercises in one log") << example + longRecord + example
                                              << Attempts{workedExample, someLong, workedExample}
                                              << QList<int>{3, 8, 3} << qint64(0);
}

void TestLogReader::records()
{
    QFETCH(QByteArray, log);
    QFETCH(Attempts, attempts);
    QFETCH(QList<int>, scores);
    QFETCH(qint64, ignored);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("eleve.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(log);
    file.close();

    Attempts found;
    QList<int> foundScores;
    const LogReading reading = readLog(localPath(path), [&](const ReadRecord &record) {
        found.append(QStringList(record.answers.begin(), record.answers.end()));
        foundScores.append(record.score());
    }, {}, {}, std::make_shared<const KnownExercises>(QList<Exercise>{longExercise()}));

    QVERIFY(reading.ok);
    QCOMPARE(found, attempts);
    QCOMPARE(foundScores, scores);
    QCOMPARE(reading.records, qint64(attempts.size()));
    QCOMPARE(reading.ignoredLines, ignored);
}

void TestLogReader::unreadableLog_data()
{
    QTest::addColumn<QString>("what");      // at the log's name: nothing, a FIFO, a link to a log
    QTest::addColumn<bool>("followLink");   // a file the teacher named
    QTest::addColumn<QString>("reason");    // empty: read
    QTest::newRow("nothing") << "nothing" << false << "il n'existe pas";
#ifndef Q_OS_WIN
    // A pupil's FIFO must not hang the teacher's table.
    QTest::newRow("a FIFO") << "fifo" << false << "ce n'est pas un fichier ordinaire";
    QTest::newRow("a link, in a pupils' folder") << "link" << false << "c'est un lien symbolique";
    QTest::newRow("a link the teacher named") << "link" << true << "";
#endif
}

void TestLogReader::unreadableLog()
{
    QFETCH(QString, what);
    QFETCH(bool, followLink);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("eleve.txt"));
    QFile target(dir.filePath(QStringLiteral("vrai.txt")));
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write(recordFor({"3", "4", "1", "2"}));
    target.close();
#ifndef Q_OS_WIN
    if (what == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    if (what == QLatin1String("link"))
        QVERIFY(QFile::link(target.fileName(), path));
#endif
    ReadRules rules;
    rules.followLink = followLink;
    qint64 records = 0;
    const LogReading reading = readLog(localPath(path), [&records](const ReadRecord &) { ++records; }, rules);
    QCOMPARE(reading.ok, reason.isEmpty());
    QCOMPARE(reading.reason, reason);
    QCOMPARE(records, reason.isEmpty() ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestLogReader)
#include "tst_logreader.moc"
