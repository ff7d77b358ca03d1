#include "classrecords.h"
#include "teacher/attemptsdialog.h"
#include "teacher/classwindow.h"
#include "teacher/classwindowmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// The teacher's window as a teacher uses it: opened on a class folder, it
// shows the pupils, follows them as they finish, opens a pupil's attempts,
// and leaves the class folder as it found it.
class TestClassWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void whatItOpens_data();
    void whatItOpens();
    void followsTheClassLive_data();
    void followsTheClassLive();
    void saysWhatItCannotCount_data();
    void saysWhatItCannotCount();
    void opensWhileReading_data();
    void opensWhileReading();
    void stopStaysStopped();

private:
    void append(const QString &name, const QByteArray &bytes);
    // A class long to read: one pupil's tens of megabytes.
    QString bigClass();
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

constexpr int bigClassAttempts = 100000;

QStringList folderListing(const QString &folder)
{
    QStringList entries;
    for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries.append(QStringLiteral("%1 %2 %3").arg(entry.fileName()).arg(entry.size()).arg(
            entry.lastModified().toMSecsSinceEpoch()));
    return entries;
}

} // namespace

void TestClassWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("cm1"))));
}

void TestClassWindow::append(const QString &name, const QByteArray &bytes)
{
    QFile log(m_dir->filePath(name));
    QVERIFY(log.open(QIODevice::Append));
    QCOMPARE(log.write(bytes), bytes.size());
}

QString TestClassWindow::bigClass()
{
    const QString folder = m_dir->filePath(QStringLiteral("grande"));
    if (QDir().mkpath(folder))
        append(QStringLiteral("grande/ana.txt"), recordFor({"3", "4", "1", "2"}).repeated(bigClassAttempts));
    return folder;
}

void TestClassWindow::whatItOpens_data()
{
    QTest::addColumn<QString>("log");        // the setting's log, for this account
    QTest::addColumn<bool>("perPupilFiles"); // %u in the file's name
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("shared");
    QTest::newRow("a log per pupil: the class folder") << "cm1/prof.txt" << true << "cm1" << false;
    QTest::newRow("one log for all: that log") << "cm1/classe.txt" << false << "cm1/classe.txt" << true;
}

void TestClassWindow::whatItOpens()
{
    QFETCH(QString, log);
    QFETCH(bool, perPupilFiles);
    QFETCH(QString, opened);
    QFETCH(bool, shared);
    LogLocation location;
    location.path = m_dir->filePath(log).toStdString();
    location.perPupil = perPupilFiles;
    if (perPupilFiles)
        location.pupilLogs = PupilLogs{m_dir->filePath(QStringLiteral("cm1")).toStdString(), QString(), ".txt"};
    const ClassWindowContext context = classWindowContext({}, location);
    QCOMPARE(context.paths.size(), 1);
    QCOMPARE(QDir::cleanPath(QDir::fromNativeSeparators(context.paths.first())), m_dir->filePath(opened));
    QCOMPARE(context.sharedSetting, shared);
    QCOMPARE(context.machineClass.has_value(), perPupilFiles);
    // Paths the teacher gives win.
    QCOMPARE(classWindowContext({QStringLiteral("/ailleurs")}, location).paths, QStringList{"/ailleurs"});
}

void TestClassWindow::followsTheClassLive_data()
{
    QTest::addColumn<bool>("notified");
    QTest::newRow("the system tells of changes") << true;
    QTest::newRow("a network folder: found by looking again") << false;
}

void TestClassWindow::followsTheClassLive()
{
    QFETCH(bool, notified);
    append(QStringLiteral("cm1/zoé.txt"), recordFor({"1", "1", "2", "1"}));
    append(QStringLiteral("cm1/léo.txt"), recordFor({"3", "4", "1", "2"}));
    const QString folder = m_dir->filePath(QStringLiteral("cm1"));
    const QStringList before = folderListing(folder);

    ClassWindow window(ClassWindowContext{{folder}, LogNaming{}, false, std::nullopt});
    window.loader().setWatching(notified);
    window.loader().setPollInterval(100); // rather than every 5 s
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.windowTitle().startsWith(QStringLiteral("Résultats de la classe")));
    QTableView *pupils = window.pupilsView();
    QTRY_COMPARE(pupils->model()->rowCount(), 2);
    QCOMPARE(pupils->model()->index(0, 0).data().toString(), QStringLiteral("léo"));
    QCOMPARE(pupils->model()->headerData(8, Qt::Horizontal).toString(), QStringLiteral("dernier essai"));

    // Zoé tries again and a new pupil finishes, the window untouched.
    append(QStringLiteral("cm1/zoé.txt"), recordFor({"3", "4", "1", "2"}));
    append(QStringLiteral("cm1/ana.txt"), recordFor({"3", "1", "1", "2"}));
    QTRY_COMPARE_WITH_TIMEOUT(pupils->model()->rowCount(), 3, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(window.report().attempts(), 4, 3000);
    const auto statusLine = window.findChildren<QLabel *>();
    QVERIFY(std::any_of(statusLine.cbegin(), statusLine.cend(), [](const QLabel *label) {
        return label->text().contains(QStringLiteral("3 élèves avec un essai"));
    }));

    // Enter on Zoé lists her two attempts, in order.
    pupils->setFocus();
    pupils->setCurrentIndex(pupils->model()->index(2, 0));
    QCOMPARE(pupils->currentIndex().data().toString(), QStringLiteral("zoé"));
    QTest::keyClick(pupils, Qt::Key_Return);
    AttemptsDialog *attempts = nullptr;
    QTRY_VERIFY((attempts = window.findChild<AttemptsDialog *>()) != nullptr);
    auto *table = attempts->findChild<QTableView *>();
    QCOMPARE(table->model()->rowCount(), 2);
    QCOMPARE(table->model()->index(0, 6).data().toString(), QStringLiteral("0/4"));
    QCOMPARE(table->model()->index(1, 6).data().toString(), QStringLiteral("4/4"));

    // It only read: the folder holds what the pupils wrote, nothing more.
    QStringList after = folderListing(folder);
    QCOMPARE(after.size(), before.size() + 1);
}

void TestClassWindow::saysWhatItCannotCount_data()
{
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QByteArray>("log"); // zoé's, in cm1
    QTest::addColumn<QString>("said");
    QTest::newRow("a path that is not there") << "absent" << QByteArray() << "il n'existe pas";
    QTest::newRow("a line edited by hand")
        << "cm1" << recordFor({"3", "4", "1", "2"}) + "202 modifié à la main\r\n" << "1 ligne ignorée : ";
}

// Said in the window, never in a box that blocks.
void TestClassWindow::saysWhatItCannotCount()
{
    QFETCH(QString, opened);
    QFETCH(QByteArray, log);
    QFETCH(QString, said);
    if (!log.isEmpty())
        append(QStringLiteral("cm1/zoé.txt"), log);
    ClassWindow window(ClassWindowContext{{m_dir->filePath(opened)}, LogNaming{}, false, {}});
    window.show();
    const auto shown = [&] {
        for (const QLabel *label : window.findChildren<QLabel *>())
            if (label->isVisible() && label->text().contains(said))
                return true;
        return false;
    };
    QTRY_VERIFY(shown());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestClassWindow::opensWhileReading_data()
{
    QTest::addColumn<QStringList>("opened"); // one after the other, at once: "big" or "cm1"
    QTest::addColumn<bool>("destroyed");     // the loader, while it reads
    QTest::addColumn<int>("attempts");       // in what the loader shows first
    QTest::newRow("another class") << QStringList{"big", "cm1"} << false << 1;
    QTest::newRow("the same class, five times") << QStringList(5, "big") << false << bigClassAttempts;
    QTest::newRow("closed while reading") << QStringList{"big"} << true << 0;
}

// A class opened while another is being read: what the older reading finds
// is never shown, and nothing waits on it or crashes.
void TestClassWindow::opensWhileReading()
{
    QFETCH(QStringList, opened);
    QFETCH(bool, destroyed);
    QFETCH(int, attempts);
    append(QStringLiteral("cm1/léo.txt"), recordFor({"3", "4", "1", "2"}));
    const QString big = bigClass();
    auto loader = std::make_unique<ClassLoader>();
    QList<int> shown;
    connect(loader.get(), &ClassLoader::loaded, this,
            [&shown](const ClassReport &report) { shown.append(report.attempts()); });
    for (const QString &which : std::as_const(opened)) {
        loader->open({which == QLatin1String("big") ? big : m_dir->filePath(which)}, LogNaming{});
        QVERIFY(loader->busy());
    }
    if (destroyed) {
        loader.reset();
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 60000);
    QCOMPARE(shown.constFirst(), attempts);
    QTRY_VERIFY(!loader->busy());
    QCOMPARE(shown.size(), 1);
}

// Stopped, the reading stays stopped while pupils write; it goes on only
// when asked.
void TestClassWindow::stopStaysStopped()
{
    const QString big = bigClass();
    ClassLoader loader;
    QStringList told; // by the loader, in order
    connect(&loader, &ClassLoader::loaded, this, [&told](const ClassReport &report, const QStringList &,
                                                         const QDateTime &, bool stopped) {
        told.append(stopped ? QStringLiteral("arrêté") : QString::number(report.attempts()));
    });
    connect(&loader, &ClassLoader::unchanged, this, [&told] { told.append(QStringLiteral("inchangé")); });
    loader.open({big}, LogNaming{});
    loader.stop();
    QTRY_COMPARE_WITH_TIMEOUT(told, QStringList{"arrêté"}, 60000);

    // A pupil finishes: another window on the class sees it; this one reads nothing.
    append(QStringLiteral("grande/zoé.txt"), recordFor({"3", "4", "1", "2"}));
    ClassLoader other;
    int seen = 0;
    connect(&other, &ClassLoader::loaded, this, [&seen](const ClassReport &report) { seen = report.attempts(); });
    other.open({big}, LogNaming{});
    QTRY_COMPARE_WITH_TIMEOUT(seen, bigClassAttempts + 1, 60000);
    QVERIFY(!loader.busy());
    QCOMPARE(told, QStringList{"arrêté"});

    loader.resume();
    QTRY_COMPARE_WITH_TIMEOUT(told, (QStringList{"arrêté", QString::number(bigClassAttempts + 1)}), 60000);
}

QTEST_MAIN(TestClassWindow)
#include "tst_classwindow.moc"
