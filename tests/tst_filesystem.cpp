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
    void localPathsAreNoShare();
};

void TestFileSystem::types_data()
{
    QTest::addColumn<qulonglong>("type");
    QTest::addColumn<bool>("network");
    QTest::newRow("ext4") << qulonglong(0xEF53) << false;
    QTest::newRow("tmpfs") << qulonglong(0x01021994) << false;
    QTest::newRow("fuse (smbnetfs, sshfs)") << qulonglong(0x65735546) << true;
    QTest::newRow("cifs") << qulonglong(0xFF534D42) << true;
    QTest::newRow("smb2") << qulonglong(0xFE534D42) << true;
    QTest::newRow("nfs") << qulonglong(0x6969) << true;
}

void TestFileSystem::types()
{
    QFETCH(qulonglong, type);
    QFETCH(bool, network);
    QCOMPARE(logfile::isNetworkFileSystemType(static_cast<unsigned long>(type)), network);
}

// A local folder, and a log not made yet in it (judged by its folder), are
// no share; the share lab shows the other side.
void TestFileSystem::localPathsAreNoShare()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(!logfile::onNetworkFileSystem(folder.path().toStdString()));
    QVERIFY(!logfile::onNetworkFileSystem(folder.filePath(QStringLiteral("%u.txt")).toStdString()));
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
