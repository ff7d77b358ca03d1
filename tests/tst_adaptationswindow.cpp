// "Adaptations…" in the teacher's window, as a teacher uses it: the pupils
// with adaptations marked in the table as text, what the folder lacks said
// in the window, a pupil's settings changed and saved, every pupil then
// given a file alike.
#include "classrecords.h"
#include "safeplace.h"
#include "teacher/adaptationmarks.h"
#include "teacher/adaptationsdialog.h"
#include "teacher/adaptationssample.h"
#include "teacher/classwindow.h"
#include "teacher/noticesview.h"
#include "teacher/windowsize.h"
#include "paths/paths.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const ReadingSettings dyslexic{ReadingFont::OpenDyslexic, 150, 150, 10, 20, PassageBackground::Cream, true};

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList names(const QAbstractItemModel *model, int role)
{
    QStringList shown;
    for (int row = 0; row < model->rowCount(); ++row)
        shown.append(model->index(row, 0).data(role).toString());
    return shown;
}

} // namespace

class TestAdaptationsWindow : public QObject
{
    Q_OBJECT

private slots:
    void teacherSetsAPupilsAdaptations();
};

void TestAdaptationsWindow::teacherSetsAPupilsAdaptations()
{
    keepWindow({});
    // In this test's own home: /tmp would put the folder in one anybody may write.
    QTemporaryDir dir(QDir::home().filePath(QStringLiteral("classe.XXXXXX")));
    QVERIFY(dir.isValid());
    const QString classFolder = dir.filePath(QStringLiteral("cm1"));
    const QString adaptations = dir.filePath(QStringLiteral("adaptations"));
    QVERIFY(QDir().mkpath(classFolder) && QDir().mkpath(adaptations));
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(adaptations).constData(), 0711) == 0);
    MORVEL2_SKIP_UNLESS_SAFE_PLACE(adaptations);
    for (const QString &pupil : {QStringLiteral("lea"), QStringLiteral("hugo"), QStringLiteral("&amp;")})
        QVERIFY(write(classFolder + u'/' + pupil + QStringLiteral(".txt"), recordFor({"3", "4", "1", "2"})));
    QVERIFY(write(adaptations + QStringLiteral("/eleve-lea.conf"), adaptationsFileBytes({false, dyslexic})));
    QVERIFY(::chmod(QFile::encodeName(adaptations + QStringLiteral("/eleve-lea.conf")).constData(), 0600) == 0);

    ClassWindowContext context{{classFolder}, LogNaming{}, false, std::nullopt};
    context.adaptations = {localPath(adaptations), adaptations, {}};
    ClassWindow window(context);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QAbstractItemModel *table = window.pupilsView()->model();
    const QAbstractItemModelTester checked(window.findChild<AdaptationMarks *>(),
                                           QAbstractItemModelTester::FailureReportingMode::QtTest);
    QTRY_COMPARE(table->rowCount(), 3);
    const QStringList marked = {"&amp;", "hugo", "lea (adaptations)"};
    QTRY_COMPARE(names(table, Qt::DisplayRole), marked);
    QCOMPARE(names(table, Qt::AccessibleTextRole), marked);
    // Those without a file, named in the window.
    auto *said = window.findChild<NoticesView *>(QStringLiteral("adaptationNotices"));
    QTRY_VERIFY(said->isVisible());
    QVERIFY(said->lines().join(u'\n').contains(QStringLiteral("2 élèves n'ont pas de fichier")));

    const auto actions = window.findChildren<QAction *>();
    const auto action = std::find_if(actions.cbegin(), actions.cend(), [](const QAction *a) {
        return a->text() == QStringLiteral("A&daptations…");
    });
    QVERIFY(action != actions.cend());
    (*action)->trigger();
    AdaptationsDialog *dialog = nullptr;
    QTRY_VERIFY((dialog = window.findChild<AdaptationsDialog *>()) != nullptr);
    auto *who = dialog->findChild<QComboBox *>(QStringLiteral("who"));
    QCOMPARE(who->count(), 4); // the class, then the three pupils
    QCOMPARE(who->itemText(1), QStringLiteral("&amp;"));

    // An account this machine does not know is said, and not added.
    auto *login = dialog->findChild<QLineEdit *>(QStringLiteral("login"));
    login->setFocus();
    QTest::keyClicks(login, QStringLiteral("personne-ici"));
    QTest::keyClick(login, Qt::Key_Return);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("loginProblem"))->text(),
             QStringLiteral("« personne-ici » : aucun compte « personne-ici » n'est connu de cette machine."));
    QCOMPARE(who->count(), 4);
    QVERIFY(dialog->isVisible()); // Enter in the field adds, it does not save and close

    // Hugo gets a larger text of his own; the sample shows it.
    who->setCurrentIndex(who->findText(QStringLiteral("hugo")));
    emit who->activated(who->currentIndex());
    auto *size = dialog->findChild<QComboBox *>(QStringLiteral("size"));
    QVERIFY(!size->isEnabled()); // the class's, until he has his own
    dialog->findChild<QCheckBox *>(QStringLiteral("own"))->setChecked(true);
    QVERIFY(size->isEnabled());
    size->setCurrentIndex(size->findData(200));
    QCOMPARE(dialog->sample()->findChild<QLabel *>()->font().pixelSize(), 26); // 13 pixels at 200 %
    QVERIFY(dialog->save());
    dialog->close();

    // Every pupil has a file of the one size; the table marks Hugo now.
    for (const QString &pupil : {QStringLiteral("lea"), QStringLiteral("hugo"), QStringLiteral("&amp;")})
        QCOMPARE(QFileInfo(adaptations + QStringLiteral("/eleve-") + pupil + QStringLiteral(".conf")).size(),
                 adaptationsFileSize);
    QCOMPARE(QFileInfo(adaptations + QStringLiteral("/classe.conf")).size(), adaptationsFileSize);
    QTRY_COMPARE(names(table, Qt::DisplayRole), (QStringList{"&amp;", "hugo (adaptations)", "lea (adaptations)"}));
    // The pupils of this account's machine that are not accounts here are said; nothing else.
    for (const QString &line : said->lines())
        QVERIFY2(line.contains(QStringLiteral("aucun compte")), qPrintable(line));
}

QTEST_MAIN(TestAdaptationsWindow)
#include "tst_adaptationswindow.moc"
