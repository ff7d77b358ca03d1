// The adaptations folder on a real file system, as one account (the
// teacher, and the pupil whose login is this account's): what writing a
// file does to it and to what stands at its name, and a page read back
// through the machine's setting. Real accounts and a share: tests/reliability/adaptations.sh.
#include "adaptations/adaptationrights.h"
#include "adaptations/classadaptations.h"
#include "paths/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const ReadingSettings dyslexic{ReadingFont::OpenDyslexic, 150, 150, 10, 20, PassageBackground::Cream, true};

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat statOf(const QString &path)
{
    struct stat status{};
    ::lstat(local(path).constData(), &status);
    return status;
}

} // namespace

class TestAdaptationsFolder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writing_data();
    void writing();
    void readBackThroughTheSetting();

private:
    QString m_folder; // the teacher's: 0711
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAdaptationsFolder::init()
{
    // In this test's own home: /tmp would put the folder in one anybody may write.
    m_dir = std::make_unique<QTemporaryDir>(QDir::home().filePath(QStringLiteral("adaptations.XXXXXX")));
    QVERIFY(m_dir->isValid());
    m_folder = m_dir->filePath(QStringLiteral("cm1"));
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(::chmod(local(m_dir->path()).constData(), 0755) == 0 && ::chmod(local(m_folder).constData(), 0711) == 0);
    const WriteOutcome probe = writeAdaptationsFile(localPath(m_folder), "probe", "x", {});
    if (!probe.written)
        QSKIP(qPrintable(QStringLiteral("this test's folder is not a safe place: %1").arg(probe.problem)));
    QFile::remove(m_folder + QStringLiteral("/probe"));
}

void TestAdaptationsFolder::writing_data()
{
    QTest::addColumn<QString>("before"); // what stands at the name first
    QTest::addColumn<bool>("pupils");    // a pupil's file, this account's login
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("mode"); // afterwards, 0: not looked at
    QTest::newRow("the class's, new") << "" << false << "" << 0644;
    QTest::newRow("the class's, others could change it") << "0666" << false << "" << 0644;
    QTest::newRow("a pupil's, new") << "" << true << "" << 0640;
    QTest::newRow("a pupil's open to everybody") << "0644" << true << "" << 0640;
    QTest::newRow("a pupil's the technician gave her, kept") << "0600" << true << "" << 0600;
    QTest::newRow("a pupil's, larger, cut to the size") << "large" << true << "" << 0;
    QTest::newRow("a link at its name") << "link" << false << "non enregistré : c'est un lien symbolique" << 0;
    QTest::newRow("a FIFO at its name") << "fifo" << false << "non enregistré : ce n'est pas un fichier ordinaire"
                                        << 0;
}

void TestAdaptationsFolder::writing()
{
    QFETCH(QString, before);
    QFETCH(bool, pupils);
    QFETCH(QString, problem);
    QFETCH(int, mode);
    const QString login = loginName();
    const QString name = pupils ? pupilAdaptationsName(login) : QString::fromLatin1(classAdaptationsName);
    const QString path = m_folder + u'/' + name;
    const QString target = m_dir->filePath(QStringLiteral("notes.txt"));
    QFile::remove(target);
    if (before == QLatin1String("link")) {
        QVERIFY(QFile::link(target, path));
    } else if (before == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(local(path).constData(), 0644) == 0);
    } else if (!before.isEmpty()) {
        QFile made(path);
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.write(QByteArray(before == QLatin1String("large") ? 3000 : 10, 'x'));
        made.close();
        QVERIFY(::chmod(local(path).constData(), before.startsWith(u'0') ? before.toUInt(nullptr, 8) : 0600) == 0);
    }
    const ino_t inode = statOf(path).st_ino;
    const QList<SavedFile> problems = saveClassAdaptations(
        [this](const QString &file, const QByteArray &bytes, const QString &pupil) {
            return writeAdaptationsFile(localPath(m_folder), file, bytes, pupil);
        },
        pupils ? ReadingSettings{} : dyslexic,
        pupils ? QMap<QString, AdaptationsEntry>{{login, {false, dyslexic}}} : QMap<QString, AdaptationsEntry>{});
    QStringList ours;
    for (const SavedFile &saved : problems)
        if (saved.name == name)
            ours.append(saved.line().sliced(name.size() + 3));
    if (ours.size() == 1 && ours.first().contains(QStringLiteral("listes de droits")))
        QSKIP("this file system keeps no lists of rights");
    QCOMPARE(ours, problem.isEmpty() ? QStringList{} : QStringList{problem});
    if (!problem.isEmpty()) {
        QVERIFY(!QFile::exists(target)); // nothing went through the link
        return;
    }
    const struct stat after = statOf(path);
    QCOMPARE(after.st_size, off_t(adaptationsFileSize));
    if (inode != 0)
        QCOMPARE(after.st_ino, inode); // in place: the rights a technician gave stay with it
    if (mode != 0)
        QCOMPARE(after.st_mode & 07777, unsigned(mode));
    if (pupils)
        QCOMPARE(pupilFileRightsFault(localPath(m_folder), name, login), QString());
}

// The pupil's program finds the folder through the machine's setting and
// reads what the teacher wrote; a folder the setting names in a few words
// is refused.
void TestAdaptationsFolder::readBackThroughTheSetting()
{
    const QString setting = m_dir->filePath(QStringLiteral("morvel2.conf"));
    QFile conf(setting);
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[adaptations]\nfolder=" + local(m_folder) + "\n");
    conf.close();
    const AdaptationsFolder found = adaptationsFolder({setting});
    QCOMPARE(found.problem, QString());
    QVERIFY(found.folder);
    const QString login = loginName();
    const QList<SavedFile> problems = saveClassAdaptations(
        [&found](const QString &file, const QByteArray &bytes, const QString &pupil) {
            return writeAdaptationsFile(*found.folder, file, bytes, pupil);
        },
        {}, {{login, {false, dyslexic}}});
    Q_UNUSED(problems);
    const ReadingSettings page = pupilReading(
        [&found](const QString &name) { return readAdaptationsFile(*found.folder, name); }, login);
    QCOMPARE(page, dyslexic);
    QCOMPARE(pupilsWithFiles(*found.folder), QStringList{login});

    QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    conf.write("[adaptations]\nfolder=adaptations/cm1\n");
    conf.close();
    QVERIFY(adaptationsFolder({setting}).problem.startsWith(QStringLiteral("le dossier des adaptations doit être")));
}

QTEST_GUILESS_MAIN(TestAdaptationsFolder)
#include "tst_adaptationsfolder.moc"
