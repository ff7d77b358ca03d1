#include "exercisefixture.h"
#include "window/morvel2.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <cmath>
#include <memory>

// Only the digits 1 to 4, Backspace and Enter get into an answer box, by
// whatever way text can arrive; and a locked box stays readable.
class TestAnswerRoutes : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void textArrivingWholeIsRefused_data();
    void textArrivingWholeIsRefused();
    void heldEnterCommitsOneRow_data();
    void heldEnterCommitsOneRow();
    void lockedAnswerIsReadable_data();
    void lockedAnswerIsReadable();
};

// A middle-click pastes the primary selection, which the offscreen platform
// does not have: that route is tried on a real display by desktop_paste.
enum class Route { ShiftInsert, CtrlV, Drop, ContextMenu };
Q_DECLARE_METATYPE(Route)

void TestAnswerRoutes::textArrivingWholeIsRefused_data()
{
    QTest::addColumn<Route>("route");
    QTest::newRow("Shift+Insert") << Route::ShiftInsert;
    QTest::newRow("Ctrl+V") << Route::CtrlV;
    QTest::newRow("drag and drop") << Route::Drop;
    QTest::newRow("context menu") << Route::ContextMenu;
}

void TestAnswerRoutes::textArrivingWholeIsRefused()
{
    QFETCH(Route, route);
    // Junk a pupil may have copied, with digits the filter would let in.
    const QString junk = QStringLiteral("abc 12\t34") + QString(5000, u'x');
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(junk);
    QLineEdit *answer = box(0);
    QTest::keyClicks(answer, QStringLiteral("3"));

    switch (route) {
    case Route::ShiftInsert:
        QTest::keyClick(answer, Qt::Key_Insert, Qt::ShiftModifier);
        break;
    case Route::CtrlV:
        QTest::keyClick(answer, Qt::Key_V, Qt::ControlModifier);
        break;
    case Route::Drop: {
        QMimeData data;
        data.setText(junk);
        const QPointF at = answer->rect().center();
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(answer, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(answer, &drop);
        break;
    }
    case Route::ContextMenu: {
        // No menu at all: its Paste would bring the clipboard in.
        QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, answer->rect().center(),
                                      answer->mapToGlobal(answer->rect().center()));
        QApplication::sendEvent(answer, &menuRequest);
        QWidget *menu = QApplication::activePopupWidget();
        if (menu)
            menu->close();
        QVERIFY2(!menu, "the answer box opened a context menu");
        break;
    }
    }
    QCOMPARE(answer->text(), QStringLiteral("3"));
}

void TestAnswerRoutes::heldEnterCommitsOneRow_data()
{
    QTest::addColumn<bool>("pressedFirst"); // a real press before the repeats
    QTest::addColumn<bool>("releasedFirst"); // and its release before them
    QTest::addColumn<int>("committed");     // rows committed in the end
    // Keyboard auto-repeat sends one long Enter as many presses.
    QTest::newRow("held down") << true << false << 1;
    // Under Wine, a box closed by Enter leaves the next Enter marked as a
    // repeat: no box saw the press it would repeat.
    QTest::newRow("a repeat of a press no box saw") << false << false << 1;
    QTest::newRow("a repeat after the key was let go") << true << true << 2;
}

void TestAnswerRoutes::heldEnterCommitsOneRow()
{
    QFETCH(bool, pressedFirst);
    QFETCH(bool, releasedFirst);
    QFETCH(int, committed);
    QTest::keyClicks(box(0), QStringLiteral("3"));
    if (pressedFirst)
        QTest::keyPress(box(0), Qt::Key_Return);
    if (releasedFirst) {
        QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4"));
    }
    for (int repeat = 0; repeat < 5; ++repeat) {
        QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QApplication::sendEvent(QApplication::focusWidget(), &repeated);
    }
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);

    for (int row = 0; row < 4; ++row)
        QVERIFY2(box(row)->isEnabled() == (row >= committed),
                 qPrintable(QStringLiteral("row %1 %2").arg(row).arg(box(row)->isEnabled() ? "open" : "committed")));
    QCOMPARE(QApplication::focusWidget(), box(committed));
}

void TestAnswerRoutes::lockedAnswerIsReadable_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("right answer") << QStringLiteral("3");
    QTest::newRow("wrong answer") << QStringLiteral("1");
}

// WCAG's contrast ratio: 4.5:1 at least for text.
void TestAnswerRoutes::lockedAnswerIsReadable()
{
    QFETCH(QString, answer);
    QTest::keyClicks(box(0), answer + u'\r');
    QVERIFY(!box(0)->isEnabled());
    QCOMPARE(box(0)->text(), answer);

    const auto luminance = [](const QColor &colour) {
        const auto channel = [](double value) {
            return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
               + 0.0722 * channel(colour.blueF());
    };
    const QPalette palette = box(0)->palette();
    const double text = luminance(palette.color(QPalette::Disabled, QPalette::Text));
    const double background = luminance(palette.color(QPalette::Disabled, QPalette::Base));
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::Base), QColor(255, 224, 192));
    const double contrast = (std::max(text, background) + 0.05) / (std::min(text, background) + 0.05);
    QVERIFY2(contrast >= 4.5, qPrintable(QStringLiteral("contrast %1:1").arg(contrast)));
}

QTEST_MAIN(TestAnswerRoutes)
#include "tst_answerroutes.moc"
