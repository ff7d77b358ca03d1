#include "checkbox/checkboxstate.h"
#include "exercisefixture.h"
#include "messageboxanswerer.h"
#include "window/morvel2.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The check-box mode on the real window, with its controls shown as a window
// that uses the mode would show them.
class TestCheckBoxWindow : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void untouchedSetFromStartUpToTheRecord();
    void passedSetShowsThePictureFile();
    void clicksFlipTheTrackedState();

private:
    // A click on the tick box itself: the rest of the wide control is not
    // part of the button.
    static void tick(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, {8, box->height() / 2}); }
    QImage shownPicture() const { return control<QLabel>("Picture1")->pixmap().toImage(); }
    // As a window that uses the mode shows it.
    void showCheckBoxMode() const
    {
        control<QPushButton>("Command1")->show();
        control<QCheckBox>("Check1(0)")->show();
    }
};

// No picture files exist here: the built-in picture is shown and the
// verification completes.
void TestCheckBoxWindow::untouchedSetFromStartUpToTheRecord()
{
    showCheckBoxMode();
    MessageBoxAnswerer answerer;
    auto *button = control<QPushButton>("Command1");
    auto *picture = control<QLabel>("Picture1");
    QVERIFY(!picture->isVisible());
    const CheckBoxState &state = m_window->checkBoxState();
    QVERIFY(state.checkState[0].isEmpty());
    for (int box = 1; box <= 3; ++box)
        QCOMPARE(state.checkState[box].number(), -1);
    QCOMPARE(state.setItemCount[0].number(), 5);
    QVERIFY(state.currentSet.isEmpty());

    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("On peut observer:"));
    QCOMPARE(answerer.seen.first().text,
             QStringLiteral("On reverra... 0  réponse(s) exacte(s)  et   3 erreur(s) \n\n"));
    QVERIFY(!answerer.seen.first().hasIcon);
    QCOMPARE(control<QLabel>("Label2(0)")->text(), QStringLiteral("réussites= 0"));
    QCOMPARE(control<QLabel>("Label2(1)")->text(), QStringLiteral("Oublis et erreurs= 3"));
    QVERIFY(picture->isVisible());
    QCOMPARE(shownPicture(), QImage(":/pictures/color2.png").convertToFormat(shownPicture().format()));
    QVERIFY(!button->isVisible());

    QCOMPARE(state.currentSet.number(), 1);
    QCOMPARE(state.missNotes[0].text(), QStringLiteral(" ;  ;  ; "));
    QCOMPARE(state.totalMisses.number(), 3);

    for (int row = 0; row < 4; ++row)
        QTest::keyClicks(control<QLineEdit>(QStringLiteral("Text1(%1)").arg(row)), QStringLiteral("3\r"));

    // A negative score has no leading space.
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("-3$"));
    QFile log(logPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray record = log.readAll();
    QVERIFY2(record.contains("       r\xe9ussites= 0  3             Oublis et erreurs= 3        3 "), record);
}

void TestCheckBoxWindow::passedSetShowsThePictureFile()
{
    showCheckBoxMode();
    QImage drawn(20, 10, QImage::Format_RGB32);
    drawn.fill(Qt::magenta);
    QVERIFY(QDir().mkpath(filePath(QStringLiteral("vbtxt"))));
    QVERIFY(drawn.save(filePath(QStringLiteral("vbtxt/face2.bmp")), "BMP"));

    CheckBoxState &state = m_window->checkBoxState();
    QVERIFY(state.supplySet(0, {{{QStringLiteral("le héros vole"), true}}, {}}));
    QCheckBox *box = control<QCheckBox>("Check1(0)");
    state.checkState[0] = -1; // supplied as unticked, like boxes 1 to 3
    tick(box);
    QVERIFY(box->isChecked());

    MessageBoxAnswerer answerer;
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);

    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().title, QStringLiteral("Je constate:"));
    QCOMPARE(answerer.seen.first().text, QStringLiteral("BRAVO  1 réponse(s) exacte(s) "));
    QCOMPARE(shownPicture().size(), QSize(20, 10));
    QCOMPARE(shownPicture().pixelColor(5, 5), QColor(Qt::magenta));
    QVERIFY(state.setPassed[0] == 1);
    QCOMPARE(control<QLabel>("Label2(0)")->text(), QStringLiteral("réussites= 1"));
}

void TestCheckBoxWindow::clicksFlipTheTrackedState()
{
    showCheckBoxMode();
    const CheckBoxState &state = m_window->checkBoxState();
    QCheckBox *first = control<QCheckBox>("Check1(0)");
    tick(first);
    tick(first);
    QVERIFY(state.checkState[0] == 0); // started empty: stuck at 0

    QCheckBox *second = m_window->createCheckBox(1);
    QVERIFY(second);
    QCOMPARE(second->objectName(), QStringLiteral("Check1(1)"));
    QVERIFY(!m_window->createCheckBox(3)); // elements come in order
    second->move(first->x(), first->y() + first->height());
    second->show();
    tick(second);
    QCOMPARE(state.checkState[1].number(), 1);
    QTest::keyClick(second, Qt::Key_Space); // the keyboard ticks too
    QCOMPARE(state.checkState[1].number(), -1);
}

QTEST_MAIN(TestCheckBoxWindow)
#include "tst_checkboxwindow.moc"
