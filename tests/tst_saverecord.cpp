#include "saving/pendingrecord.h"
#include "saving/saverecord.h"

#include <QDir>
#include <QTest>

// The saving policy on its own: which failures the pupil is asked about,
// when a record goes to the rescue log instead, and what is said.
class TestSaveRecord : public QObject
{
    Q_OBJECT

private slots:
    void policy_data();
    void policy();
};

namespace {

enum Append { Lands, Fails, FailsHalfWritten, Refused };
using Appends = QList<int>;
using Answers = QList<bool>;

const QByteArray line = "202 record\r\n";
const char *const classLog = "/classe/estest.txt";
const char *const rescueLogPath = "/secours/estest.txt";

// A path as the pupil is told it: with the system's own separators.
QString shown(const char *path)
{
    return QDir::toNativeSeparators(QString::fromUtf8(path));
}

} // namespace

void TestSaveRecord::policy_data()
{
    QTest::addColumn<Appends>("appends");   // what each append to the log does
    QTest::addColumn<Answers>("answers");   // the pupil's answer to each question
    QTest::addColumn<bool>("rescueLands");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("place");          // SaveOutcome::Place
    QTest::addColumn<bool>("logTouched");
    QTest::addColumn<QString>("report");     // the start of what standard error gets

    const int log = int(SaveOutcome::Place::Log);
    const int rescueLog = int(SaveOutcome::Place::RescueLog);
    const int nowhere = int(SaveOutcome::Place::Nowhere);
    const QString rescued = QStringLiteral("morvel2: le résultat n'a pas été enregistré dans %1.\n"
                                           "morvel2: il a été enregistré à la place dans %2 :\n"
                                           "le relevé\n").arg(shown(classLog), shown(rescueLogPath));
    const QString lost = QStringLiteral("morvel2: le résultat n'a pas été enregistré dans %1.\n"
                                        "morvel2: il n'a pas pu être enregistré non plus dans %2 ; "
                                        "le voici :\nle relevé\n").arg(shown(classLog), shown(rescueLogPath));
    QTest::newRow("lands") << Appends{Lands} << Answers{} << true << 0 << log << false << "";
    QTest::newRow("lands when tried again") << Appends{Fails, Fails, Lands} << Answers{true, true} << true << 2
                                            << log << false << "";
    QTest::newRow("given up") << Appends{Fails, Fails} << Answers{true, false} << true << 2 << rescueLog << false
                              << rescued;
    QTest::newRow("given up, the rescue log failing too")
        << Appends{Fails} << Answers{false} << false << 1 << nowhere << false << lost;
    // Part of it may be in the log: never offered again, never written twice.
    QTest::newRow("half-written") << Appends{FailsHalfWritten} << Answers{} << true << 0 << rescueLog << true
                                  << rescued;
    QTest::newRow("half-written when tried again")
        << Appends{Fails, FailsHalfWritten} << Answers{true} << true << 1 << rescueLog << true << rescued;
    QTest::newRow("half-written, the rescue log failing too")
        << Appends{FailsHalfWritten} << Answers{} << false << 0 << nowhere << true << lost;
    // A pupil's log that a classmate planted: trying again cannot help.
    QTest::newRow("refused") << Appends{Refused} << Answers{} << true << 0 << rescueLog << false << rescued;
    QTest::newRow("refused when tried again") << Appends{Fails, Refused} << Answers{true} << true << 1 << rescueLog
                                              << false << rescued;
}

void TestSaveRecord::policy()
{
    QFETCH(Appends, appends);
    QFETCH(Answers, answers);
    QFETCH(bool, rescueLands);
    QFETCH(int, questions);
    QFETCH(int, place);
    QFETCH(bool, logTouched);
    QFETCH(QString, report);

    int appended = 0;
    int rescues = 0;
    QString reported;
    RecordWriters writers;
    writers.append = [&](const std::filesystem::path &path, const QByteArray &bytes) {
        [&] {
            QCOMPARE(QString::fromStdString(path.string()), QStringLiteral("/classe/estest.txt"));
            QCOMPARE(bytes, line);
            QVERIFY(appended < appends.size());
        }();
        const int what = appends.value(appended++, Fails);
        return AppendOutcome{what == Lands, what == Lands ? std::string() : "raison " + std::to_string(appended),
                             what == FailsHalfWritten, what == Refused};
    };
    writers.rescue = [&](const std::filesystem::path &path, const QByteArray &bytes) {
        ++rescues;
        [&] {
            QCOMPARE(QString::fromStdString(path.string()), QStringLiteral("/secours/estest.txt"));
            QCOMPARE(bytes, line);
        }();
        return AppendOutcome{rescueLands, rescueLands ? std::string() : std::string("disque plein"), false};
    };
    writers.report = [&](const QString &text) { reported += text; };
    QStringList asked;
    const auto askToRetry = [&](const QString &logName, const QString &reason) {
        asked.append(logName + u':' + reason);
        return answers.value(asked.size() - 1, false);
    };

    const SaveOutcome outcome = saveRecord({"/classe/estest.txt", "/secours/estest.txt"}, line,
                                           QStringLiteral("le relevé"), askToRetry, writers);

    QCOMPARE(asked.size(), questions);
    for (int i = 0; i < asked.size(); ++i)
        QCOMPARE(asked[i], QStringLiteral("%1:raison %2").arg(shown(classLog)).arg(i + 1));
    QCOMPARE(appended, appends.size());
    QCOMPARE(int(outcome.place), place);
    QCOMPARE(outcome.logTouched, logTouched);
    QCOMPARE(outcome.refused, appends.contains(Refused));
    QCOMPARE(rescues, place == int(SaveOutcome::Place::Log) ? 0 : 1);
    QCOMPARE(reported, report);
    if (!outcome.inLog())
        QCOMPARE(outcome.reason, QStringLiteral("raison %1").arg(appends.size()));
    // Saved or given up on, the record no longer waits for the session's end.
    QCOMPARE(PendingRecord::sessionEnds(0), PendingRecord::AtSessionEnd::NothingWaits);
}

QTEST_GUILESS_MAIN(TestSaveRecord)
#include "tst_saverecord.moc"
