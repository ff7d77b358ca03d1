#include "results/appendfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

QTEST_GUILESS_MAIN(TestAppendFile)
#include "tst_appendfile.moc"
