// A pupil's own log in a class folder that classmates may write to: links
// anywhere in its path, files planted under its name, its permissions, and
// what the teacher's collect leaves.

#include "classrecords.h"
#include "paths/paths.h"
#include "logfile/logfile.h"
#include "classroom/classfolder.h"
#include "classroom/collectclass.h"
#include "logfile/folderrule.h"
#include "logfile/posixacl.h"
#include "saving/writerchoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QHash>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QByteArray line = recordFor({"3", "4", "1", "2"});
constexpr uid_t classmate = 65534;

std::filesystem::path local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Through the writer the program chooses for a setting with (%u) or
// without a log per pupil.
logfile::AppendOutcome append(const QString &path, bool ownLogOnly)
{
    LogLocation setting;
    setting.path = local(path);
    setting.perPupil = ownLogOnly;
    return writersFor(setting).append(setting.path, line);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat statusOf(const QString &path)
{
    struct stat status{};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Gives `path` (a link itself, not its target) to the classmate's account.
bool giveToClassmate(const QString &path)
{
    return ::lchown(QFile::encodeName(path).constData(), classmate, classmate) == 0;
}

// As root: `folder` made a class folder as the recipe makes one, another
// account's (the teacher's), 3733, its group one the pupil is not in.
bool makeClassFolder(const QString &folder, mode_t mode = 03733)
{
    const QByteArray name = QFile::encodeName(folder);
    return ::getuid() == 0 && ::chown(name.constData(), classmate, classmate) == 0 && ::chmod(name.constData(), mode) == 0;
}

} // namespace

class TestPupilLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void linksInThePath_data();
    void linksInThePath();
    void classmatesFolder_data();
    void classmatesFolder();
    void createdForTheTeachersOnly_data();
    void createdForTheTeachersOnly();
    void plantedFileRefused();
    void notAFileAtThePupilsName_data();
    void notAFileAtThePupilsName();
    void collectedFileIsTheCollectors_data();
    void collectedFileIsTheCollectors();
    void plantedLogNotCollected();
    void wholeClassCollected();
    void classFolderListing_data();
    void classFolderListing();
    void folderRule_data();
    void folderRule();
    void olderLogKeptFromClassmates_data();
    void olderLogKeptFromClassmates();
    void teachersFolderRule_data();
    void teachersFolderRule();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_piege; // a folder of the classmate's
    bool m_classFolders = false; // ecole/classe and piege are class folders
};

void TestPupilLog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir folder(m_dir->path());
    QVERIFY(folder.mkpath(QStringLiteral("ecole/classe")));
    QVERIFY(folder.mkpath(QStringLiteral("piege")));
    m_piege = m_dir->filePath(QStringLiteral("piege"));
    // A pupil's own log is kept only in a class folder that passes the
    // folder rule, which needs another account to own it.
    m_classFolders = makeClassFolder(m_dir->filePath(QStringLiteral("ecole/classe"))) && makeClassFolder(m_piege);
}

void TestPupilLog::linksInThePath_data()
{
    QTest::addColumn<QString>("linkAt");    // relative to the test folder, pointing at piege
    QTest::addColumn<bool>("classmates");   // the link belongs to a classmate
    QTest::addColumn<bool>("ownLogOnly");
    QTest::addColumn<bool>("followed");
    QTest::newRow("own link as a folder") << "ecole/cm1" << false << false << true;
    QTest::newRow("own link as a folder, own log") << "ecole/cm1" << false << true << true;
    QTest::newRow("classmate's link as a folder") << "ecole/cm1" << true << false << false;
    QTest::newRow("classmate's link as a folder, own log") << "ecole/cm1" << true << true << false;
    QTest::newRow("own link at the log's name") << "ecole/cm1.txt" << false << false << true;
    QTest::newRow("own link at the log's name, own log") << "ecole/cm1.txt" << false << true << false;
}

// Whoever may write to a folder of the path may put a link there: the
// record must not follow it into a file of that person's choosing.
void TestPupilLog::linksInThePath()
{
    QFETCH(QString, linkAt);
    QFETCH(bool, classmates);
    QFETCH(bool, ownLogOnly);
    QFETCH(bool, followed);
    const QString link = m_dir->filePath(linkAt);
    const bool asFolder = !linkAt.endsWith(QLatin1String(".txt"));
    const QString reached = asFolder ? m_piege + QStringLiteral("/eleve.txt") : m_piege + QStringLiteral("/eleve.txt");
    QVERIFY(QFile::link(asFolder ? m_piege : reached, link));
    if (classmates && !giveToClassmate(link))
        QSKIP("giving a link to another account needs root");
    const QString log = asFolder ? link + QStringLiteral("/eleve.txt") : link;
    if (ownLogOnly && followed && !m_classFolders)
        QSKIP("a class folder of another account's needs root");

    const logfile::AppendOutcome outcome = append(log, ownLogOnly);
    QCOMPARE(outcome.ok, followed);
    QCOMPARE(outcome.refused, !followed);
    QCOMPARE(contents(reached), followed ? line : QByteArray());
    QCOMPARE(QFileInfo::exists(reached), followed);
}

void TestPupilLog::classmatesFolder_data()
{
    QTest::addColumn<uint>("mode");
    QTest::addColumn<bool>("ownLogOnly");
    QTest::addColumn<bool>("written");
    QTest::newRow("open to all, own log") << 0777u << true << false;
    QTest::newRow("open to all, shared log") << 0777u << false << true;
    // Sticky, but listed by all and without the setgid bit: no class folder.
    QTest::newRow("open to all but sticky, own log") << 01777u << true << false;
    QTest::newRow("only the classmate writes, own log") << 0755u << true << false;
    QTest::newRow("the class folder recipe, own log") << 03733u << true << true;
}

// A real folder a classmate made where the class folder was meant to be (in
// /tmp, say): whoever may write in it without the sticky bit can delete or
// swap a pupil's log there.
void TestPupilLog::classmatesFolder()
{
    QFETCH(uint, mode);
    QFETCH(bool, ownLogOnly);
    QFETCH(bool, written);
    const QString folder = m_dir->filePath(QStringLiteral("ecole/cm2"));
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode), 0);
    if (!giveToClassmate(folder))
        QSKIP("giving a folder to another account needs root");
    const logfile::AppendOutcome outcome = append(folder + QStringLiteral("/eleve.txt"), ownLogOnly);
    QCOMPARE(outcome.ok, written);
    QCOMPARE(outcome.refused, !written);
    QCOMPARE(QFileInfo::exists(folder + QStringLiteral("/eleve.txt")), written);
}

void TestPupilLog::createdForTheTeachersOnly_data()
{
    QTest::addColumn<uint>("umask");
    QTest::addColumn<uint>("folderMode");
    QTest::newRow("class folder, umask 022") << 022u << 03733u;
    QTest::newRow("class folder, umask 002") << 002u << 03733u;
    QTest::newRow("class folder, umask 000") << 000u << 03733u;
    QTest::newRow("class folder, umask 077") << 077u << 03733u;
    QTest::newRow("class folder made 2730, umask 077") << 077u << 02730u;
}

// Its group (the class folder's: the teachers') may read a pupil's log;
// nobody else may open it, whatever the umask.
void TestPupilLog::createdForTheTeachersOnly()
{
    QFETCH(uint, umask);
    QFETCH(uint, folderMode);
    const QString folder = m_dir->filePath(QStringLiteral("ecole/classe"));
    if (!m_classFolders)
        QSKIP("a class folder of another account's needs root");
    QCOMPARE(::chmod(QFile::encodeName(folder).constData(), folderMode), 0);
    const mode_t previous = ::umask(umask);
    const logfile::AppendOutcome outcome = append(folder + QStringLiteral("/eleve.txt"), true);
    ::umask(previous);
    QVERIFY(outcome.ok);
    QCOMPARE(statusOf(folder + QStringLiteral("/eleve.txt")).st_mode & 07777, mode_t(0640));
    QVERIFY(!outcome.modeUnset); // what fstat saw, here as on the disk
    // Nothing left beside it from the making.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("eleve.txt")});
}

// A classmate who makes the file first, to read or change the pupil's
// records, gets nothing written into it.
void TestPupilLog::plantedFileRefused()
{
    const QString log = m_dir->filePath(QStringLiteral("ecole/classe/eleve.txt"));
    QFile planted(log);
    QVERIFY(planted.open(QIODevice::WriteOnly));
    planted.close();
    QVERIFY(QFile::setPermissions(log, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
    if (!giveToClassmate(log))
        QSKIP("giving a file to another account needs root");
    const logfile::AppendOutcome outcome = append(log, true);
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.refused);
    QCOMPARE(contents(log), QByteArray());
    // The shared log of a class that uses one is another matter: anybody's.
    QVERIFY(append(log, false).ok);
}

void TestPupilLog::notAFileAtThePupilsName_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a FIFO") << "fifo";
}

// A folder or a FIFO at a pupil's name is nobody's log: the record is
// rescued at once, without the pupil being asked to try again.
void TestPupilLog::notAFileAtThePupilsName()
{
    QFETCH(QString, what);
    const QString log = m_dir->filePath(QStringLiteral("ecole/classe/eleve.txt"));
    QVERIFY(what == QLatin1String("folder") ? QDir().mkdir(log)
                                            : ::mkfifo(QFile::encodeName(log).constData(), 0666) == 0);
    const logfile::AppendOutcome outcome = append(log, true);
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.refused);
}

void TestPupilLog::collectedFileIsTheCollectors_data()
{
    QTest::addColumn<bool>("pupils");            // the log belongs to a pupil, not the collector
    QTest::addColumn<bool>("acrossFileSystems");
    QTest::newRow("own log, same disk") << false << false;
    QTest::newRow("own log, another disk") << false << true;
    QTest::newRow("pupil's log, same disk") << true << false;
    QTest::newRow("pupil's log, another disk") << true << true;
}

// The pupil who made the log must not be able to change what the teacher
// collected: the collected file is the teacher's, and readable by nobody
// else.
void TestPupilLog::collectedFileIsTheCollectors()
{
    QFETCH(bool, pupils);
    QFETCH(bool, acrossFileSystems);
    QString folder = m_dir->filePath(QStringLiteral("ecole/classe"));
    QTemporaryDir elsewhere(QStringLiteral("/dev/shm/morvel2-test-XXXXXX"));
    if (acrossFileSystems) {
        if (!elsewhere.isValid())
            QSKIP("no /dev/shm");
        folder = elsewhere.path();
    }
    const QString log = folder + QStringLiteral("/eleve.txt");
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(line + line);
    file.close();
    QVERIFY(QFile::setPermissions(log, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                           | QFile::WriteGroup | QFile::ReadOther));
    if (pupils && !giveToClassmate(log))
        QSKIP("giving a file to another account needs root");

    const QString destination = m_dir->filePath(QStringLiteral("releve.txt"));
    const logfile::CollectOutcome outcome = logfile::collectLog(local(log), local(destination));
    QVERIFY2(outcome.ok, outcome.reason.c_str());
    QCOMPARE(outcome.records, 2);
    QCOMPARE(contents(destination), line + line);
    const struct stat collected = statusOf(destination);
    QCOMPARE(collected.st_uid, ::geteuid());
    QCOMPARE(collected.st_mode & 07777, mode_t(0600));
    QVERIFY(!QFileInfo::exists(log));
    // Nothing half-made left beside the destination.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("releve.txt")});
}

// A file under a pupil's name that another account made is not that
// pupil's: it stays where it is, for the teacher to look at.
void TestPupilLog::plantedLogNotCollected()
{
    const QString log = m_dir->filePath(QStringLiteral("ecole/classe/eleve.txt"));
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(line);
    file.close();
    const QString destination = m_dir->filePath(QStringLiteral("releve.txt"));
    logfile::CollectRules rules;
    rules.expectedOwner = "eleve-qui-n-existe-pas";
    const logfile::CollectOutcome outcome =
        logfile::collectLog(local(log), local(destination), std::chrono::seconds(2), rules);
    QVERIFY(!outcome.ok);
    QVERIFY(outcome.planted);
    QCOMPARE(contents(log), line);
    QVERIFY(!QFileInfo::exists(destination));
}

// The teacher's collect of a class folder: each pupil's log under its own
// name in a folder of the teacher's; what is not a pupil's log stays, said.
void TestPupilLog::wholeClassCollected()
{
    const QString me = loginName();
    QVERIFY(!me.isEmpty());
    const QString classFolder = m_dir->filePath(QStringLiteral("ecole/classe"));
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(classFolder + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("cm1-%1.txt").arg(me), line + line);
    write(QStringLiteral("cm1-autre.txt"), line);   // made by me, named for somebody else
    write(QStringLiteral("notes.md"), "pas un relevé");
    QVERIFY(QFile::link(m_piege, classFolder + QStringLiteral("/cm1-lien.txt")));
    const QString destination = m_dir->filePath(QStringLiteral("releves"));

    const ClassCollectOutcome outcome =
        collectClass({local(classFolder), QStringLiteral("cm1-"), QStringLiteral(".txt")}, local(destination));
    QVERIFY2(outcome.failure.isEmpty(), qPrintable(outcome.failure));
    QCOMPARE(outcome.pupils, 1);
    QCOMPARE(outcome.records, 2);
    QCOMPARE(contents(destination + QStringLiteral("/cm1-%1.txt").arg(me)), line + line);
    QCOMPARE(statusOf(destination).st_mode & 07777, mode_t(0700));
    QCOMPARE(QDir(destination).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    QCOMPARE(outcome.leftAlone.size(), 2);
    QVERIFY2(outcome.leftAlone.first().contains(QStringLiteral("cm1-autre.txt : il appartient à %1, pas à autre").arg(me)),
             qPrintable(outcome.leftAlone.first()));
    QVERIFY2(outcome.leftAlone.last().contains(QStringLiteral("cm1-lien.txt : c'est un lien symbolique")),
             qPrintable(outcome.leftAlone.last()));
    QCOMPARE(QDir(classFolder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("cm1-autre.txt"), QStringLiteral("cm1-lien.txt"), QStringLiteral("notes.md")}));

    // Into a folder whose parent is missing: said with why.
    const ClassCollectOutcome nowhere = collectClass({local(classFolder), QStringLiteral("cm1-"), QStringLiteral(".txt")},
                                                     local(m_dir->filePath(QStringLiteral("absent/releves"))));
    QVERIFY2(nowhere.failure.endsWith(QStringLiteral(" : le dossier qui doit le contenir n'existe pas")),
             qPrintable(nowhere.failure));
}

void TestPupilLog::classFolderListing_data()
{
    // Entries as NAME:KIND, f a file, l a link, d a folder, p a FIFO; a name
    // with "\\xe9" holds that byte alone, as a Latin-1 shell writes "é".
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("pupils");   // in the order listed
    QTest::addColumn<QStringList>("setAside"); // names, in order
    QTest::addColumn<QStringList>("ignored");
    QTest::newRow("per pupil, a prefix")
        << QStringList{"cm1-zoé.txt:f", "cm1-élise.txt:f", "cm1-Ana.txt:f", "cm1-.txt:f", "notes.md:f",
                       "cm1-lien.txt:l", "cm1-dossier.txt:d", "cm1-tube.txt:p"}
        << "cm1-" << ".txt" << QStringList{"Ana", "élise", "zoé"}
        << QStringList{"cm1-dossier.txt", "cm1-lien.txt", "cm1-tube.txt"} << QStringList{"cm1-.txt", "notes.md"};
    QTest::newRow("no setting: *.txt")
        << QStringList{"léo.txt:f", "Zoé.txt:f", "bilan.csv:f", ".txt:f"} << "" << ".txt"
        << QStringList{"léo", "Zoé"} << QStringList{} << QStringList{".txt", "bilan.csv"};
    QTest::newRow("a .log setting") << QStringList{"hugo.log:f", "hugo.txt:f"} << "" << ".log"
                                    << QStringList{"hugo"} << QStringList{} << QStringList{"hugo.txt"};
    QTest::newRow("numbers by their value") << QStringList{"élève10.txt:f", "élève2.txt:f"} << "" << ".txt"
                                            << QStringList{"élève2", "élève10"} << QStringList{} << QStringList{};
    QTest::newRow("a name in Latin-1 bytes") << QStringList{"andr\\xe9.txt:f", "bob.txt:f"} << "" << ".txt"
                                             << QStringList{"andr?", "bob"} << QStringList{} << QStringList{};
}

// The one rule for which files of a class folder are pupils' logs, the
// order a teacher reads them in, and what is set aside or ignored, each
// named; every log found opens by its bytes.
void TestPupilLog::classFolderListing()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(QStringList, pupils);
    QFETCH(QStringList, setAside);
    QFETCH(QStringList, ignored);
    const QByteArray folder = QFile::encodeName(m_dir->filePath(QStringLiteral("ecole/classe")));
    for (const QString &entry : std::as_const(entries)) {
        const QString name = entry.section(u':', 0, 0);
        QByteArray path = folder + '/' + QFile::encodeName(name).replace("\\xe9", "\xe9");
        switch (entry.section(u':', 1).at(0).unicode()) {
        case 'f': QVERIFY(::close(::open(path.constData(), O_CREAT | O_WRONLY, 0600)) == 0); break;
        case 'l': QCOMPARE(::symlink("/etc/passwd", path.constData()), 0); break;
        case 'd': QCOMPARE(::mkdir(path.constData(), 0700), 0); break;
        case 'p': QCOMPARE(::mkfifo(path.constData(), 0600), 0); break;
        }
    }

    const ClassFolderListing listing = listClassFolder(folder.toStdString(), {prefix, suffix});

    QVERIFY(listing.failure.isEmpty());
    QStringList found;
    for (const PupilLogFile &log : listing.logs) {
        found.append(printableName(log.pupil));
        QVERIFY2(::access(log.path.c_str(), R_OK) == 0, log.path.c_str());
    }
    QCOMPARE(found, pupils);
    QStringList asideNames;
    for (const SetAsideFile &aside : listing.setAside)
        asideNames.append(aside.file.section(u'/', -1));
    QCOMPARE(asideNames, setAside);
    QStringList ignoredNames;
    for (const QString &name : listing.ignored)
        ignoredNames.append(name.section(u'/', -1));
    QCOMPARE(ignoredNames, ignored);
}

namespace {

// The accounts of the rule's table: the pupil (lea, in the group eleves), a
// classmate, the teacher (in profs), a technician.
enum Id : unsigned { root = 0, lea = 1001, tom = 1002, prof = 1003, tech = 1004, eleves = 2001, profs = 2002 };

unsigned idOf(const QString &name)
{
    static const QHash<QString, unsigned> ids{{"root", root}, {"lea", lea},       {"tom", tom},    {"prof", prof},
                                              {"tech", tech}, {"eleves", eleves}, {"profs", profs}};
    return ids.value(name);
}

std::string nameOf(unsigned id)
{
    static const QHash<unsigned, QString> names{{root, "root"}, {lea, "lea"},       {tom, "tom"},    {prof, "prof"},
                                                {tech, "tech"}, {eleves, "eleves"}, {profs, "profs"}};
    return names.value(id).toStdString();
}

// The steps of a table's folders: each NAME:MODE:OWNER:GROUP from the root
// down, a "~" before the name for one a share shows as the mounting
// account's.
std::vector<logfile::PathStep> stepsOf(const QStringList &folders)
{
    std::vector<logfile::PathStep> steps;
    logfile::PathStep parent;
    parent.mode = 0755;
    std::string at;
    for (QString folder : folders) {
        const bool hidden = folder.startsWith(u'~');
        const QStringList fields = folder.remove(0, hidden ? 1 : 0).section(u'+', 0, 0).split(u':');
        logfile::PathStep step;
        step.parentPath = at.empty() ? "/" : at;
        at += "/" + fields[0].toStdString();
        step.path = at;
        step.mode = fields[1].toUInt(nullptr, 8);
        step.owner = idOf(fields[2]);
        step.group = idOf(fields[3]);
        step.parentMode = parent.mode;
        step.parentOwner = parent.owner;
        step.parentGroup = parent.group;
        step.ownersVisible = !hidden;
        step.parentAcl = parent.acl;
        // Then "+g:GROUP:rwx" or "+u:ACCOUNT:r-x": entries of its list of rights.
        for (const QString &entry : folder.split(u'+').sliced(1)) {
            const QStringList parts = entry.split(u':');
            const unsigned perms = (parts[2][0] == u'r' ? 4 : 0) | (parts[2][1] == u'w' ? 2 : 0) | (parts[2][2] == u'x' ? 1 : 0);
            step.acl.push_back({parts[0] == u'g', idOf(parts[1]), perms});
        }
        steps.push_back(step);
        parent = step;
    }
    return steps;
}

} // namespace

void TestPupilLog::folderRule_data()
{
    // The folders from the root down, each NAME:MODE:OWNER:GROUP, the last
    // the class folder; a "~" before the name: held by a share that shows
    // every file as the mounting account's.
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("refusedBecause"); // empty: safe
    QTest::addColumn<int>("unverified");
    QTest::addColumn<QString>("runBy"); // the account whose log it is
    QTest::newRow("the recipe") << QStringList{"srv:755:root:root", "classe:3733:prof:profs"} << "" << 0 << "lea";
    QTest::newRow("in the teacher's home")
        << QStringList{"home:755:root:root", "prof:755:prof:prof", "cm1:3733:prof:profs"} << "" << 0 << "lea";
    QTest::newRow("a parent only the teachers' group may write")
        << QStringList{"srv:755:root:root", "ecole:2775:root:profs", "cm1:3733:prof:profs"} << "" << 0 << "lea";
    QTest::newRow("root's class folder in /tmp") << QStringList{"tmp:1777:root:root", "classe:3733:root:profs"}
                                                 << "" << 0 << "lea";
    QTest::newRow("the shared-log folder, written by the pupils' group")
        << QStringList{"srv:755:root:root", "classe-mix:2775:root:eleves"}
        << "d'autres comptes peuvent écrire dans le dossier /srv/classe-mix sans le bit sticky" << 0 << "lea";
    QTest::newRow("a classmate's folder in /tmp") << QStringList{"tmp:1777:root:root", "classe:3777:tom:tom"}
                                                  << "le dossier /tmp/classe appartient à tom dans /" << 0 << "lea";
    QTest::newRow("a parent the pupils' group may write")
        << QStringList{"srv:755:root:root", "ec:2775:root:eleves", "cm1:3733:prof:profs"}
        << "d'autres comptes peuvent écrire dans le dossier /srv/ec sans le bit sticky : ils pourraient y remplacer /srv/ec/cm1"
        << 0 << "lea";
    QTest::newRow("without the setgid bit") << QStringList{"srv:755:root:root", "classe:1733:prof:profs"}
                                            << "le dossier /srv/classe n'a pas le bit setgid" << 0 << "lea";
    QTest::newRow("listed by all") << QStringList{"srv:755:root:root", "classe:3737:prof:profs"}
                                   << "tout le monde peut lister le dossier /srv/classe" << 0 << "lea";
    QTest::newRow("the pupil's own folder") << QStringList{"home:755:root:root", "lea:3733:lea:profs"}
                                            << "le dossier /home/lea est celui de ce compte" << 0 << "lea";
    // Run by the teacher: the folder is theirs, and what else is wrong with
    // it is still said.
    QTest::newRow("the teacher's own class folder")
        << QStringList{"srv:755:root:root", "classe:3733:prof:profs"} << "le dossier /srv/classe est celui de ce compte"
        << 0 << "prof";
    QTest::newRow("the teacher's own class folder, listed by all")
        << QStringList{"srv:755:root:root", "classe:3737:prof:profs"} << "tout le monde peut lister le dossier /srv/classe"
        << 0 << "prof";
    // Lists of rights (ACL), after a folder's mode: +u:NAME:PERMS or
    // +g:NAME:PERMS, as setfacl writes them, the mask already applied.
    QTest::newRow("an ACL lets the pupils' group list the class folder")
        << QStringList{"srv:755:root:root", "classe:3773:prof:profs+g:eleves:r-x"}
        << "la liste de droits (ACL) du dossier /srv/classe permet au groupe eleves de le lister" << 0 << "lea";
    QTest::newRow("an ACL lets the pupil herself list it")
        << QStringList{"srv:755:root:root", "classe:3773:prof:profs+u:lea:r-x"} << "permet au compte lea de le lister" << 0
        << "lea";
    QTest::newRow("an ACL for the teachers' group") << QStringList{"srv:755:root:root", "classe:3773:prof:profs+g:profs:rwx"}
                                                    << "" << 0 << "lea";
    QTest::newRow("an ACL the pupils may only write by, as others may")
        << QStringList{"srv:755:root:root", "classe:3733:prof:profs+g:eleves:-wx"} << "" << 0 << "lea";
    QTest::newRow("an ACL lets the pupils' group write a parent")
        << QStringList{"srv:775:root:profs+g:eleves:rwx", "classe:3733:prof:profs"}
        << "d'autres comptes peuvent écrire dans le dossier /srv sans le bit sticky" << 0 << "lea";
    QTest::newRow("a group the pupil is in") << QStringList{"srv:755:root:root", "classe:3730:prof:eleves"}
                                             << "le groupe eleves du dossier /srv/classe comprend l'élève" << 0 << "lea";
    QTest::newRow("another account's folder on the way")
        << QStringList{"srv:755:root:root", "ecole:755:tech:tech", "classe:3733:prof:profs"}
        << "le dossier /srv/ecole appartient à tech, qui pourrait y remplacer /srv/ecole/classe" << 0 << "lea";
    QTest::newRow("open to all, sticky, no setgid") << QStringList{"srv:755:root:root", "classe:1777:prof:prof"}
                                                    << "n'a pas le bit setgid" << 0 << "lea";
    QTest::newRow("a share that hides owners")
        << QStringList{"mnt:755:root:root", "~classe:777:lea:lea"} << "" << 1 << "lea";
    QTest::newRow("a share in a folder anybody may write")
        << QStringList{"srv:777:root:root", "mnt:755:root:root", "~classe:777:lea:lea"}
        << "d'autres comptes peuvent écrire dans le dossier /srv sans le bit sticky" << 0 << "lea";
}

// The rule for the folders on the way to a pupil's log, as a table of
// modes and owners: no account but the pupil, root and the teacher who owns
// the class folder (with its group) may read, change or replace the log or
// a folder on the way.
void TestPupilLog::folderRule()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, refusedBecause);
    QFETCH(int, unverified);
    QFETCH(QString, runBy);
    const std::vector<logfile::PathStep> steps = stepsOf(folders);
    // Where a folder is on a share that hides owners, what is in it cannot
    // be judged; the folders above it still are.
    const logfile::PupilAccount pupil = runBy == u"prof" ? logfile::PupilAccount{prof, {prof, profs}}
                                                          : logfile::PupilAccount{lea, {lea, eleves}};

    const logfile::PathVerdict verdict = logfile::judgePupilLogPath(steps, pupil, nameOf, nameOf);

    QCOMPARE(verdict.safe, refusedBecause.isEmpty());
    QVERIFY2(QString::fromStdString(verdict.reason).contains(refusedBecause), verdict.reason.c_str());
    QCOMPARE(int(verdict.unverified.size()), unverified);
    QCOMPARE(verdict.ownFolder, steps.back().ownersVisible && steps.back().owner == pupil.uid);
}

void TestPupilLog::olderLogKeptFromClassmates_data()
{
    QTest::addColumn<bool>("exists"); // an older writer's log, or one made now
    QTest::newRow("made under the folder's default list") << false;
    QTest::newRow("an older log a classmate could read") << true;
}

// A class folder whose default list of rights (setfacl -d -m g:GROUP:r)
// would give the pupils' group the right to read every new log: the pupil's
// log, new or older, ends with no right for it, and the teachers' group
// reads it.
void TestPupilLog::olderLogKeptFromClassmates()
{
    QFETCH(bool, exists);
    if (!m_classFolders)
        QSKIP("a class folder of another account's needs root");
    constexpr unsigned pupils = 54321;
    const QByteArray folder = QFile::encodeName(m_dir->filePath(QStringLiteral("ecole/classe")));
    logfile::acl::Acl defaultList{{logfile::acl::userObj, 7, 0}, {logfile::acl::groupObj, 3, 0},
                                  {logfile::acl::group, 4, pupils}, {logfile::acl::mask, 7, 0},
                                  {logfile::acl::other, 3, 0}};
    const std::string bytes = logfile::acl::serialize(defaultList);
    if (::setxattr(folder.constData(), "system.posix_acl_default", bytes.data(), bytes.size(), 0) != 0)
        QSKIP("this file system keeps no lists of rights");
    const QByteArray log = folder + "/eleve.txt";
    if (exists) {
        QCOMPARE(::close(::open(log.constData(), O_CREAT | O_WRONLY, 0640)), 0);
        QCOMPARE(::chmod(log.constData(), 0640), 0);
        char access[64];
        QVERIFY(::getxattr(log.constData(), "system.posix_acl_access", access, sizeof access) > 0);
    }

    QVERIFY(append(QFile::decodeName(log), true).ok);

    char left[64];
    QCOMPARE(::getxattr(log.constData(), "system.posix_acl_access", left, sizeof left), -1);
    QCOMPARE(statusOf(QFile::decodeName(log)).st_mode & 0077, mode_t(exists ? 0 : 040));
    QCOMPARE(contents(QFile::decodeName(log)), line);
}

void TestPupilLog::teachersFolderRule_data()
{
    // As folderRule's, the last entry being a file of the folder above it.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("refusedBecause"); // empty: safe
    QTest::newRow("the recipe") << QStringList{"srv:755:root:root", "exercices:755:prof:profs", "301.txt:644:prof:profs"}
                                << "";
    QTest::newRow("the teachers' group may write")
        << QStringList{"srv:755:root:root", "exercices:2775:prof:profs", "301.txt:664:prof:profs"} << "";
    QTest::newRow("the pupils' group may write the folder")
        << QStringList{"srv:755:root:root", "exercices:2775:prof:eleves", "301.txt:644:prof:eleves"}
        << "d'autres comptes que prof peuvent écrire dans le dossier /srv/exercices";
    QTest::newRow("sticky, yet others could add a choice")
        << QStringList{"srv:755:root:root", "exercices:1777:prof:profs", "301.txt:644:prof:profs"}
        << "d'autres comptes que prof peuvent écrire dans le dossier /srv/exercices";
    QTest::newRow("the pupils' group may write the file")
        << QStringList{"srv:755:root:root", "exercices:755:prof:eleves", "301.txt:664:prof:eleves"}
        << "d'autres comptes que prof peuvent modifier le fichier /srv/exercices/301.txt";
    QTest::newRow("a classmate's file") << QStringList{"srv:755:root:root", "exercices:755:prof:profs",
                                                       "301.txt:644:tom:tom"}
                                        << "le fichier /srv/exercices/301.txt appartient à tom, pas à prof";
    QTest::newRow("the pupil is trusted no more than a classmate")
        << QStringList{"srv:755:root:root", "exercices:755:prof:profs", "301.txt:644:lea:lea"}
        << "appartient à lea, pas à prof";
    QTest::newRow("a share that hides owners")
        << QStringList{"mnt:755:root:root", "~exercices:777:lea:lea", "~301.txt:666:lea:lea"} << "";
}

// The rule for what pupils only read: nobody but root and the teacher who
// owns the folder may change the folder, the way to it or its files.
void TestPupilLog::teachersFolderRule()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, refusedBecause);
    std::vector<logfile::PathStep> steps = stepsOf(entries);
    const logfile::PathStep file = steps.back();
    steps.pop_back();
    const logfile::PupilAccount pupil{lea, {lea, eleves}};

    const logfile::PathVerdict folder = logfile::judgeTeachersFolderPath(steps, pupil, nameOf);
    const std::string fileFault = logfile::teachersFileFault(file, pupil, nameOf);

    const QString reason = QString::fromStdString(folder.safe ? fileFault : folder.reason);
    QCOMPARE(reason.isEmpty(), refusedBecause.isEmpty());
    QVERIFY2(reason.contains(refusedBecause), qPrintable(reason));
}

QTEST_GUILESS_MAIN(TestPupilLog)
#include "tst_pupillog.moc"
