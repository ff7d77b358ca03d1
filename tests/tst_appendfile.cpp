#include "results/appendfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

namespace {

const QByteArray line = "202 record\r\n";

logfile::AppendOutcome append(const QString &path, std::chrono::milliseconds lockWait = std::chrono::seconds(10))
{
    return logfile::appendLine(QFile::encodeName(path).toStdString(),
                               std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
                               lockWait);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestAppendFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void eachAppendAddsOneLine();
    void tornTailNeverMerges_data();
    void tornTailNeverMerges();
    void lockWaitHasABound();
    void logMovedAwayWhileWaiting();
    void symbolicLinks_data();
    void symbolicLinks();
    void fifoNeverBlocks();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_log;
};

void TestAppendFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_log = m_dir->filePath(QStringLiteral("estest.txt"));
}

void TestAppendFile::eachAppendAddsOneLine()
{
    QVERIFY(append(m_log).ok);
    QVERIFY(append(m_log).ok);
    QCOMPARE(contents(m_log), line + line);
}

void TestAppendFile::tornTailNeverMerges_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("empty log") << QByteArray() << line;
    QTest::newRow("whole lines") << QByteArray("a\r\n") << QByteArray("a\r\n") + line;
    QTest::newRow("torn in the middle") << QByteArray("a\r\n202 rec") << QByteArray("a\r\n202 rec\r\n") + line;
    QTest::newRow("torn between CR and LF") << QByteArray("a\r") << QByteArray("a\r\r\n") + line;
    QTest::newRow("one byte") << QByteArray("2") << QByteArray("2\r\n") + line;
    // Saved by an editor: a line feed alone ends a line too.
    QTest::newRow("bare line feed") << QByteArray("abc\n") << QByteArray("abc\n") + line;
}

void TestAppendFile::tornTailNeverMerges()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFile file(m_log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();

    QVERIFY(append(m_log).ok);
    QCOMPARE(contents(m_log), after);
}

void TestAppendFile::lockWaitHasABound()
{
    QVERIFY(append(m_log).ok);
    // Another writer holds the lock and does not let go.
    const int other = ::open(QFile::encodeName(m_log).constData(), O_RDWR);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX), 0);

    const logfile::AppendOutcome blocked = append(m_log, std::chrono::milliseconds(200));
    QVERIFY(!blocked.ok);
    QVERIFY(!blocked.reason.empty());
    QCOMPARE(contents(m_log), line);

    ::close(other);
    QVERIFY(append(m_log, std::chrono::milliseconds(200)).ok);
    QCOMPARE(contents(m_log), line + line);
}

// A teacher collects the log (moves it away, holding the lock) while a writer
// waits for that lock: the record must go to the new log at the path, not
// into the file that was carried off.
void TestAppendFile::logMovedAwayWhileWaiting()
{
    QVERIFY(append(m_log).ok);
    const QString collected = m_dir->filePath(QStringLiteral("collected.txt"));
    const int teacher = ::open(QFile::encodeName(m_log).constData(), O_RDONLY);
    QVERIFY(teacher >= 0);
    QCOMPARE(::flock(teacher, LOCK_EX), 0);

    auto writer = std::async(std::launch::async, [this] { return append(m_log); });
    QTest::qWait(100); // the writer has opened the old log and waits for its lock
    QVERIFY(QFile::rename(m_log, collected));
    ::close(teacher);

    QVERIFY(writer.get().ok);
    QCOMPARE(contents(collected), line);
    QCOMPARE(contents(m_log), line);
}

void TestAppendFile::symbolicLinks_data()
{
    QTest::addColumn<uint>("linkOwner");
    QTest::addColumn<bool>("followed");
    QTest::newRow("the user's own link") << uint(::geteuid()) << true;
    QTest::newRow("another user's link") << 65534u << false;
}

// In a shared folder another user may plant a link at the log's path
// pointing at a file of ours; only links we (or root) made are followed.
void TestAppendFile::symbolicLinks()
{
    QFETCH(uint, linkOwner);
    QFETCH(bool, followed);
    const QString target = m_dir->filePath(QStringLiteral("private.txt"));
    QFile::remove(m_log);
    QVERIFY(QFile::link(target, m_log));
    if (linkOwner != ::geteuid()
        && ::lchown(QFile::encodeName(m_log).constData(), linkOwner, static_cast<gid_t>(-1)) != 0)
        QSKIP("giving the link to another user needs root");

    const logfile::AppendOutcome outcome = append(m_log);
    QCOMPARE(outcome.ok, followed);
    QCOMPARE(contents(target), followed ? line : QByteArray());
    if (!followed)
        QVERIFY(!QFileInfo::exists(target));
}

void TestAppendFile::fifoNeverBlocks()
{
    QCOMPARE(::mkfifo(QFile::encodeName(m_log).constData(), 0222), 0);
    const logfile::AppendOutcome outcome = append(m_log, std::chrono::milliseconds(500));
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.reason.empty());
}

QTEST_GUILESS_MAIN(TestAppendFile)
#include "tst_appendfile.moc"
