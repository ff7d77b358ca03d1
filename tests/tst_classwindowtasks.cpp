#include "classrecords.h"
#include "paths/paths.h"
#include "teacher/classwindow.h"
#include "teacher/pupilsmodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/file.h>
#endif

// What the teacher's window makes of a class: the printed page, both
// spreadsheets, the collect; each as on screen, and the long ones run while
// the window goes on answering.
class TestClassWindowTasks : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pageAsOnScreen_data();
    void pageAsOnScreen();
    void exportsBothTables();
    void collectBesideTheWindow();
    void printWithoutPrinter();

private:
    void append(const QString &name, const QByteArray &bytes);
    void writeClass();
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

// The built-in exercise's score column, after its four ideas'.
constexpr int builtInScore = PupilsModel::Idea1 + 4;

} // namespace

void TestClassWindowTasks::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("cm1"))));
}

void TestClassWindowTasks::append(const QString &name, const QByteArray &bytes)
{
    QFile log(m_dir->filePath(name));
    QVERIFY(log.open(QIODevice::Append));
    QCOMPARE(log.write(bytes), bytes.size());
}

// Three pupils, each weakest in another order: ana 4/4, léo 1/4 with an
// answer no box lets in ("a"), zoé 3/4; their logs last changed at a known time.
void TestClassWindowTasks::writeClass()
{
    append(QStringLiteral("cm1/ana.txt"), recordFor({"3", "4", "1", "2"}));
    append(QStringLiteral("cm1/léo.txt"), recordFor({"a", "1", "2", "2"}));
    append(QStringLiteral("cm1/zoé.txt"), recordFor({"3", "4", "", "2"}));
    for (const char *name : {"ana", "léo", "zoé"}) {
        QFile log(m_dir->filePath(QStringLiteral("cm1/%1.txt").arg(QString::fromUtf8(name))));
        QVERIFY(log.open(QIODevice::ReadWrite));
        QVERIFY(log.setFileTime(QDateTime(QDate(2026, 12, 9), QTime(14, 5)), QFileDevice::FileModificationTime));
    }
}

void TestClassWindowTasks::pageAsOnScreen_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("said");
    QTest::newRow("by name") << int(PupilsModel::Name) << Qt::AscendingOrder << QStringList{"ana", "léo", "zoé"}
                             << "par ordre alphabétique";
    QTest::newRow("weakest first") << int(builtInScore) << Qt::AscendingOrder
                                   << QStringList{"léo", "zoé", "ana"} << "trié par score, du plus faible au plus fort";
    QTest::newRow("strongest first") << int(builtInScore) << Qt::DescendingOrder
                                     << QStringList{"ana", "zoé", "léo"} << "trié par score, du plus fort au plus faible";
}

// Printed and saved as PDF as the teacher sees it: the same order, said,
// the same marks and notices.
void TestClassWindowTasks::pageAsOnScreen()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, rows);
    QFETCH(QString, said);
    writeClass();
    ClassWindow window(ClassWindowContext{{m_dir->filePath(QStringLiteral("cm1"))}, LogNaming{}, false, {}});
    QTRY_COMPARE(window.report().attempts(), 3);
    window.pupilsView()->sortByColumn(column, order);
    const QString page = classPageHtml(window.report(), window.page());
    qsizetype at = 0;
    for (const QString &name : std::as_const(rows)) {
        const qsizetype found = page.indexOf(QStringLiteral("<td>%1</td>").arg(name));
        QVERIFY2(found > at, qPrintable(name));
        at = found;
    }
    QVERIFY2(page.contains(said), qPrintable(page));
    QVERIFY(page.contains(QStringLiteral("a ✗*")));
    QVERIFY(page.contains(QStringLiteral("* réponse qui n'a pas été tapée dans l'exercice")));
    const QString pdf = m_dir->filePath(QStringLiteral("bilan.pdf"));
    window.writePdf(pdf);
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");
}

void TestClassWindowTasks::exportsBothTables()
{
    writeClass();
    // Ana's first attempt, collected the day before.
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("lundi"))));
    append(QStringLiteral("lundi/ana.txt"), recordFor({"1", "4", "1", "2"}));
    QFile collected(m_dir->filePath(QStringLiteral("lundi/ana.txt")));
    QVERIFY(collected.open(QIODevice::ReadWrite));
    QVERIFY(collected.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(10, 0)), QFileDevice::FileModificationTime));
    collected.close();
    ClassWindow window(ClassWindowContext{{m_dir->filePath(QStringLiteral("cm1")), m_dir->filePath(QStringLiteral("lundi"))},
                                          LogNaming{}, false, {}});
    QTRY_COMPARE(window.report().attempts(), 4);
    window.pupilsView()->sortByColumn(builtInScore, Qt::AscendingOrder);
    const QString table = m_dir->filePath(QStringLiteral("tableau.csv"));
    window.startExport(ExportKind::ClassTable, table);
    QVERIFY(window.job().busy()); // off the window's thread
    QTRY_VERIFY(!window.job().busy());
    QFile written(table);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(3), QByteArray("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(written.readAll()),
             QStringLiteral("élève;essais;idée 1;idée 2;idée 3;idée 4;score sur 4;meilleur sur 4;dernier essai;remarque;"
                            "code;exercice\r\n"
                            "léo;1;a ✗*;1 ✗;2 ✗;2 ✓;1;1;2026-12-09 14:05;réponse qui n'a pas été tapée dans l'exercice;"
                            "202;Morvel-sens paragraphes:(3412)\r\n"
                            "zoé;1;3 ✓;4 ✓;–;2 ✓;3;3;2026-12-09 14:05;;202;Morvel-sens paragraphes:(3412)\r\n"
                            "ana;2;3 ✓;4 ✓;1 ✓;2 ✓;4;4;2026-12-09 14:05;;202;Morvel-sens paragraphes:(3412)\r\n"));
    // Every attempt, as --bilan --csv writes them.
    const QString attempts = m_dir->filePath(QStringLiteral("essais.csv"));
    window.startExport(ExportKind::Attempts, attempts);
    QTRY_VERIFY(!window.job().busy());
    QFile all(attempts);
    QVERIFY(all.open(QIODevice::ReadOnly));
    const QByteArray rows = all.readAll();
    QCOMPARE(rows.count("\r\n"), 5);
    // Her attempts numbered on from one log to the next.
    QVERIFY2(rows.contains("\nana;1;1;4;1;2;") && rows.contains("\nana;2;3;4;1;2;"), rows.constData());
    // For Moodle: each login's best score, out of the exercise's ideas.
    const QString moodle = m_dir->filePath(QStringLiteral("moodle.csv"));
    window.startExport(ExportKind::Moodle, moodle);
    QTRY_VERIFY(!window.job().busy());
    QFile grades(moodle);
    QVERIFY(grades.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(grades.readAll()),
             QStringLiteral("username,202 Morvel-sens paragraphes:(3412) (sur 4)\r\nana,4\r\nléo,1\r\nzoé,3\r\n"));
    QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*.partiel")}, QDir::Files | QDir::Hidden), QStringList());
}

// The collect runs while the window answers, even when a pupil's log is
// held; then the window shows what was collected together with the class
// folder, and a pupil who finishes afterwards appears.
void TestClassWindowTasks::collectBesideTheWindow()
{
#ifdef Q_OS_WIN
    QSKIP("the lock is held here with flock, which Windows does not have");
#else
    const QString me = loginName();
    const QString folder = m_dir->filePath(QStringLiteral("cm1"));
    append(QStringLiteral("cm1/%1.txt").arg(me), recordFor({"3", "4", "1", "2"}));
    append(QStringLiteral("cm1/zzzz.txt"), recordFor({"1", "1", "2", "1"}));
    ClassWindow window(ClassWindowContext{{folder}, LogNaming{}, false, PupilLogs{localPath(folder), {}, ".txt"}});
    window.show();
    QTRY_COMPARE(window.report().attempts(), 2);
    QFile held(m_dir->filePath(QStringLiteral("cm1/%1.txt").arg(me)));
    QVERIFY(held.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(held.handle(), LOCK_EX), 0);
    const QString copy = m_dir->filePath(QStringLiteral("recueil"));
    window.startCollect(copy);
    QVERIFY(window.job().busy());
    auto *stop = window.findChild<QPushButton *>();
    QTRY_VERIFY(stop->isVisible());
    QTest::mouseClick(stop, Qt::LeftButton); // stopped before the next log
    ::flock(held.handle(), LOCK_UN);
    QTRY_VERIFY(!window.job().busy());
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("cm1/zzzz.txt"))));
    QVERIFY(QApplication::activeModalWidget() != nullptr);
    QApplication::activeModalWidget()->close();
    const auto opened = window.findChildren<QLabel *>();
    QVERIFY(std::any_of(opened.cbegin(), opened.cend(), [&](const QLabel *label) {
        return label->text().contains(QStringLiteral("suivi en direct")) && label->text().contains(QDir::toNativeSeparators(copy));
    }));
    QTRY_COMPARE(window.report().attempts(), 2);
    append(QStringLiteral("cm1/ana.txt"), recordFor({"3", "4", "1", "1"}));
    QTRY_COMPARE_WITH_TIMEOUT(window.report().attempts(), 3, 3000);
#endif
}

void TestClassWindowTasks::printWithoutPrinter()
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("this machine has a printer");
    ClassWindow window(ClassWindowContext{{m_dir->filePath(QStringLiteral("cm1"))}, LogNaming{}, false, {}});
    const auto actions = window.findChildren<QAction *>();
    const auto print = std::find_if(actions.cbegin(), actions.cend(),
                                    [](const QAction *action) { return action->text() == QStringLiteral("&Imprimer…"); });
    QVERIFY(print != actions.cend());
    (*print)->trigger();
    QMessageBox *box = nullptr;
    QTRY_VERIFY((box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) != nullptr);
    QVERIFY(box->text().startsWith(QStringLiteral("Aucune imprimante n'est installée")));
    const auto buttons = box->findChildren<QPushButton *>();
    QVERIFY(std::any_of(buttons.cbegin(), buttons.cend(),
                        [](const QPushButton *button) { return button->text() == QStringLiteral("Enregistrer en PDF…"); }));
    box->reject();
}

QTEST_MAIN(TestClassWindowTasks)
#include "tst_classwindowtasks.moc"
