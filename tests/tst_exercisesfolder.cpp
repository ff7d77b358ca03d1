// The exercises' folder on a real file system: what reading a teacher's
// file refuses (links, FIFOs, files or folders others may change), and the
// offer the machine's setting leads to.

#include "logfile/teachersfile.h"
#include "safeplace.h"
#include "offered/exercisesfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t classmate = 65534;

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray potager = "code : 301\ntitre : Le potager\nparagraphe : Un.\n\nparagraphe : Deux.\n\n"
                           "idée au paragraphe 2 : La fin\n";

} // namespace

class TestExercisesFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void teachersFile_data();
    void teachersFile();
    void offerFromTheSetting();

private:
    QString m_folder; // the teacher's: 0755, holding a good 301.txt
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExercisesFolder::init()
{
    // In this test's own home, whose folders are the account's: /tmp would
    // put the folder in one that anybody may write.
    m_dir = std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("exercices.XXXXXX")));
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->filePath(QStringLiteral("exercices"));
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(::chmod(local(m_dir->path()).constData(), 0755) == 0 && ::chmod(local(m_folder).constData(), 0755) == 0);
    QVERIFY(write(m_folder + QStringLiteral("/301.txt"), potager));
    QVERIFY(::chmod(local(m_folder + QStringLiteral("/301.txt")).constData(), 0644) == 0);
    MORVEL2_SKIP_UNLESS_SAFE_PLACE(m_folder);
}

void TestExercisesFolder::teachersFile_data()
{
    // What is made in the folder, and the reason it is refused (empty: read).
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusedBecause");
    QTest::newRow("the teacher's file") << "" << "301.txt" << "";
    QTest::newRow("missing") << "" << "302.txt" << "le fichier ou un dossier du chemin n'existe pas";
    QTest::newRow("a file others may change") << "chmod 666" << "301.txt"
                                              << "d'autres comptes que root peuvent modifier le fichier";
    QTest::newRow("a link to it") << "link" << "lien.txt" << "c'est un lien symbolique";
    QTest::newRow("a FIFO") << "fifo" << "fifo.txt" << "ce n'est pas un fichier ordinaire";
    QTest::newRow("too large") << "large" << "301.txt" << "plus que les 65536";
    QTest::newRow("a folder others may write") << "folder 777" << "301.txt"
                                               << "peuvent écrire dans le dossier";
    QTest::newRow("another account's file") << "classmate's" << "301.txt" << "appartient à nobody";
}

void TestExercisesFolder::teachersFile()
{
    QFETCH(QString, make);
    QFETCH(QString, name);
    QFETCH(QString, refusedBecause);
    const QByteArray file = local(m_folder + u'/' + name);
    const QByteArray good = local(m_folder + QStringLiteral("/301.txt"));
    if (make == u"chmod 666")
        QVERIFY(::chmod(good.constData(), 0666) == 0);
    else if (make == u"link")
        QVERIFY(::symlink("301.txt", file.constData()) == 0);
    else if (make == u"fifo")
        QVERIFY(::mkfifo(file.constData(), 0644) == 0);
    else if (make == u"large")
        QVERIFY(write(QString::fromLocal8Bit(good), potager + QByteArray(65536, '#')));
    else if (make.startsWith(u"folder "))
        QVERIFY(::chmod(local(m_folder).constData(), make.sliced(7).toUInt(nullptr, 8)) == 0);
    else if (make == u"classmate's" && (::geteuid() != 0 || ::chown(good.constData(), classmate, classmate) != 0))
        QSKIP("giving a file to another account needs root");
    if (::geteuid() != 0 && refusedBecause.contains(u"root"))
        refusedBecause.replace(QStringLiteral("root"), qEnvironmentVariable("USER"));

    const logfile::TeachersFile read = logfile::readTeachersFile(local(m_folder).toStdString(), name.toStdString(), 65536);

    QCOMPARE(read.ok, refusedBecause.isEmpty());
    QVERIFY2(QString::fromStdString(read.reason).contains(refusedBecause), read.reason.c_str());
    QCOMPARE(read.missing, name == u"302.txt");
    if (read.ok)
        QCOMPARE(QByteArray::fromStdString(read.bytes), potager);
}

// The folder the machine's setting names, with the teacher's choice in it.
void TestExercisesFolder::offerFromTheSetting()
{
    const QString setting = m_dir->filePath(QStringLiteral("morvel2.conf"));
    QVERIFY(write(setting, "[exercises]\nfolder=" + local(m_folder) + "\n"));
    QVERIFY(write(m_folder + QStringLiteral("/302.txt"), QByteArray(potager).replace("301", "302").replace("potager", "phare")));
    QVERIFY(::chmod(local(m_folder + QStringLiteral("/302.txt")).constData(), 0644) == 0);

    QVERIFY(write(m_folder + QStringLiteral("/proposes.conf"), "302.txt\n301.txt\n"));
    QVERIFY(::chmod(local(m_folder + QStringLiteral("/proposes.conf")).constData(), 0644) == 0);
    Offer offer = offeredExercises({setting});
    QCOMPARE(offer.problem, QString());
    QCOMPARE(offer.exercises().size(), 2);
    QCOMPARE(offer.exercises().first().label, QStringLiteral("Le phare"));
    QCOMPARE(offer.folder, m_folder);

    // A choice a classmate could have written is not followed.
    QVERIFY(::chmod(local(m_folder + QStringLiteral("/proposes.conf")).constData(), 0666) == 0);
    offer = offeredExercises({setting});
    QVERIFY(offer.exercises().isEmpty());
    QVERIFY2(offer.problem.contains(QStringLiteral("peuvent modifier le fichier")), qPrintable(offer.problem));

}

QTEST_GUILESS_MAIN(TestExercisesFolder)
#include "tst_exercisesfolder.moc"
