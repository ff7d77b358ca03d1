#include "logfile/filesystem.h"

#include <QTemporaryDir>
#include <QTest>

// Which file systems count as a network or FUSE share: there the writer
// does not trust owners, and --verifier warns about a log shared between
// machines.
class TestFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void types_data();
    void types();
    void localFolderIsNoShare();
    void missingFileJudgedByItsFolder();
    void missingFolderIsNoShare();
};

void TestFileSystem::types_data()
{
    QTest::addColumn<qulonglong>("type");
    QTest::addColumn<bool>("network");
    QTest::newRow("ext4") << qulonglong(0xEF53) << false;
    QTest::newRow("tmpfs") << qulonglong(0x01021994) << false;
    QTest::newRow("btrfs") << qulonglong(0x9123683E) << false;
    QTest::newRow("xfs") << qulonglong(0x58465342) << false;
    QTest::newRow("overlay") << qulonglong(0x794C7630) << false;
    QTest::newRow("fuse (smbnetfs, sshfs)") << qulonglong(0x65735546) << true;
    QTest::newRow("cifs") << qulonglong(0xFF534D42) << true;
    QTest::newRow("smb2") << qulonglong(0xFE534D42) << true;
    QTest::newRow("smb") << qulonglong(0x517B) << true;
    QTest::newRow("nfs") << qulonglong(0x6969) << true;
    QTest::newRow("9p") << qulonglong(0x01021997) << true;
    QTest::newRow("zero") << qulonglong(0) << false;
}

void TestFileSystem::types()
{
    QFETCH(qulonglong, type);
    QFETCH(bool, network);
    QCOMPARE(logfile::isNetworkFileSystemType(static_cast<unsigned long>(type)), network);
}

void TestFileSystem::localFolderIsNoShare()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(!logfile::onNetworkFileSystem(folder.path().toStdString()));
}

void TestFileSystem::missingFileJudgedByItsFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::filesystem::path log = folder.filePath(QStringLiteral("%u.txt")).toStdString();
    QVERIFY(!std::filesystem::exists(log));
    QVERIFY(!logfile::onNetworkFileSystem(log));
}

void TestFileSystem::missingFolderIsNoShare()
{
    QVERIFY(!logfile::onNetworkFileSystem("/nonexistent-morvel2/classe/lea.txt"));
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
