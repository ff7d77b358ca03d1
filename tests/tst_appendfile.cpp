#include "logfile/logfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// How many descriptors of this process have `path` open.
int openedHere(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir descriptors(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo &fd : descriptors.entryInfoList(QDir::Files | QDir::System))
        count += fd.symLinkTarget() == target ? 1 : 0;
    return count;
}

// A folder on another file system than the temporary folder, where a rename
// cannot reach: the shared-memory tmpfs. Null where there is none.
std::unique_ptr<QTemporaryDir> folderOnAnotherFileSystem(const QString &here)
{
    auto elsewhere = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/morvel2-test-XXXXXX"));
    struct stat a{};
    struct stat b{};
    if (!elsewhere->isValid() || ::stat(QFile::encodeName(here).constData(), &a) != 0
        || ::stat(QFile::encodeName(elsewhere->path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        return nullptr;
    return elsewhere;
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
    void collect_data();
    void collect();
    void collectThroughOwnLink();
    void createdGroupWritableInASharedFolder_data();
    void createdGroupWritableInASharedFolder();

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
    // Once the writer has opened the old log, it can only wait for its lock.
    QTRY_COMPARE(openedHere(m_log), 2);
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

void TestAppendFile::collect_data()
{
    QTest::addColumn<QByteArray>("log");     // "-": none
    QTest::addColumn<QByteArray>("already"); // "-": no destination yet
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("acrossFileSystems"); // the log on another file system: copied, not renamed
    const QByteArray many = line.repeated(10000); // more than one read's worth
    QTest::newRow("three records") << line + line + line << QByteArray("-") << true << 3 << false;
    QTest::newRow("a torn last line counts") << line + "202 torn" << QByteArray("-") << true << 2 << false;
    // What a log the writers could not read looks like: a line end before
    // each record.
    QTest::newRow("blank lines are no records") << "\r\n" + line + "\r\n" + line << QByteArray("-") << true << 2
                                                << false;
    QTest::newRow("no log") << QByteArray("-") << QByteArray("-") << true << 0 << false;
    QTest::newRow("never overwrites") << line << QByteArray("earlier\r\n") << false << 0 << false;
    QTest::newRow("across file systems") << many << QByteArray("-") << true << 10000 << true;
    QTest::newRow("across file systems, torn") << many + "202 torn" << QByteArray("-") << true << 10001 << true;
    QTest::newRow("across file systems, never overwrites")
        << line << QByteArray("earlier\r\n") << false << 0 << true;
}

// What a teacher collects is moved whole; the next record starts a new log.
void TestAppendFile::collect()
{
    QFETCH(QByteArray, log);
    QFETCH(QByteArray, already);
    QFETCH(bool, ok);
    QFETCH(int, records);
    QFETCH(bool, acrossFileSystems);
    std::unique_ptr<QTemporaryDir> elsewhere;
    if (acrossFileSystems) {
        elsewhere = folderOnAnotherFileSystem(m_dir->path());
        if (!elsewhere)
            QSKIP("no /dev/shm on another file system than the temporary folder");
        m_log = elsewhere->filePath(QStringLiteral("estest.txt"));
    }
    const QString destination = m_dir->filePath(QStringLiteral("releve.txt"));
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    // When the pupil last wrote, which the collected log keeps.
    const QDateTime written = QDateTime::currentDateTime().addDays(-3).addMSecs(-250);
    if (log != "-") {
        write(m_log, log);
        QFile file(m_log);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
    }
    if (already != "-")
        write(destination, already);

    const logfile::CollectOutcome outcome = logfile::collectLog(
        QFile::encodeName(m_log).toStdString(), QFile::encodeName(destination).toStdString());
    QCOMPARE(outcome.ok, ok);
    QCOMPARE(outcome.records, records);
    QCOMPARE(outcome.noLog, log == "-");
    QCOMPARE(outcome.destinationExists, already != "-");
    if (already != "-") {
        QCOMPARE(contents(destination), already);
        QCOMPARE(contents(m_log), log);
        return;
    }
    QCOMPARE(QFileInfo::exists(destination), log != "-");
    QCOMPARE(contents(destination), log == "-" ? QByteArray() : log);
    if (log != "-")
        QCOMPARE(QFileInfo(destination).lastModified().toSecsSinceEpoch(), written.toSecsSinceEpoch());
    QVERIFY(!QFileInfo::exists(m_log));
    QVERIFY(append(m_log).ok);
    QCOMPARE(contents(m_log), line);
}

// A pupil's link to the class's shared log: the shared log is collected and
// the link stays, so the next record goes to the new shared log.
void TestAppendFile::collectThroughOwnLink()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("classe")));
    const QString shared = m_dir->filePath(QStringLiteral("classe/estest.txt"));
    QVERIFY(QFile::link(shared, m_log));
    QVERIFY(append(m_log).ok);
    const QString destination = m_dir->filePath(QStringLiteral("releve.txt"));
    const logfile::CollectOutcome outcome = logfile::collectLog(
        QFile::encodeName(m_log).toStdString(), QFile::encodeName(destination).toStdString());
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.records, 1);
    QVERIFY(QFileInfo(m_log).isSymLink());
    QVERIFY(!QFileInfo::exists(shared));
    QVERIFY(append(m_log).ok);
    QCOMPARE(contents(shared), line);
}

void TestAppendFile::createdGroupWritableInASharedFolder_data()
{
    QTest::addColumn<uint>("folderMode");
    QTest::addColumn<bool>("groupWritable");
    QTest::newRow("a class's shared folder") << 02775u << true;
    QTest::newRow("a private folder") << 0755u << false;
}

// Whatever the umask, a log created where the group may write takes the
// other pupils' records too.
void TestAppendFile::createdGroupWritableInASharedFolder()
{
    QFETCH(uint, folderMode);
    QFETCH(bool, groupWritable);
    const QByteArray folder = QFile::encodeName(m_dir->filePath(QStringLiteral("classe")));
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    QCOMPARE(::chmod(folder.constData(), folderMode), 0);
    const mode_t previous = ::umask(022);
    QVERIFY(append(QFile::decodeName(folder) + QStringLiteral("/estest.txt")).ok);
    ::umask(previous);
    struct stat status{};
    QCOMPARE(::stat((folder + "/estest.txt").constData(), &status), 0);
    QCOMPARE(bool(status.st_mode & S_IWGRP), groupWritable);
    QCOMPARE(status.st_mode & 0777, mode_t(groupWritable ? 0664 : 0644));
}

QTEST_GUILESS_MAIN(TestAppendFile)
#include "tst_appendfile.moc"
