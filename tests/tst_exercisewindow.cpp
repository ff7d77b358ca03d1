#include "exercise/content.h"
#include "exercisefixture.h"
#include "messageboxanswerer.h"
#include "record/record.h"
#include "window/messagebox.h"
#include "window/morvel2.h"
#include "window/pagelabel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(PageSetting)
Q_DECLARE_METATYPE(ReadingSettings)

namespace {

// What a teacher might set for a dyslexic reader.
const ReadingSettings dyslexic{ReadingFont::OpenDyslexic, 200, 150, 10, 20, PassageBackground::Cream, true};

} // namespace

class TestExerciseWindow : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void startsReadyToType();
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void scalesWithTheScreen();
    void pageFollowsItsLayout_data();
    void pageFollowsItsLayout();
    void rulerFollowsKeysAndMouse();
    void tabVisitsOpenAnswerBoxesOnly();
    void refusedKeysLeaveTheBoxUnchanged_data();
    void refusedKeysLeaveTheBoxUnchanged();
    void editingKeysKeepTheirEffect();
    void inputMethodTextIsFiltered();
    void focusGoesToTheFirstOpenRow();
    void fourthCommitEndsTheExercise_data();
    void fourthCommitEndsTheExercise();
    void twoRunsAppendTwoLines();
    void closingIsRefusedUntilTheEnd();
    void minimisingIsUndone();
};

void TestExerciseWindow::startsReadyToType()
{
    QVERIFY(m_window->windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(QApplication::focusWidget(), box(0));

    QCOMPARE(m_window->findChild<QLabel *>("Label3(1)")->text(), Content::readingInstruction());
    QCOMPARE(m_window->findChild<QLabel *>("Label3(0)")->text(), Content::questionInstruction());
    QCOMPARE(m_window->findChild<QLabel *>("Label1")->text(), Content::passage());
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("Label2(%1)").arg(row))->text(),
                 Content::prompt(row));
        QVERIFY(box(row)->isVisible());
        QVERIFY(box(row)->isEnabled());
        QVERIFY(box(row)->text().isEmpty());
    }
    QVERIFY(!box(4));

    // The check-box mode is there, out of sight.
    QVERIFY(!m_window->findChild<QPushButton *>("Command1")->isVisible());
    QVERIFY(!m_window->findChild<QCheckBox *>("Check1(0)")->isVisible());
    QVERIFY(!m_window->findChild<QLabel *>("Picture1")->isVisible());
}

void TestExerciseWindow::controlsStandAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("fontPixels");

    const QColor peach(255, 224, 192);
    const QColor lightGreen(192, 255, 192);
    QTest::newRow("banner") << "Label3(1)" << QRect(176, 8, 473, 33) << QColor(255, 192, 128) << 13;
    QTest::newRow("passage") << "Label1" << QRect(16, 56, 761, 225) << QColor(0, 255, 255) << 13;
    QTest::newRow("instruction") << "Label3(0)" << QRect(16, 288, 417, 57) << QColor() << 16;
    // Each row 100 twips below the one above: 375 + 100 twips is 31.67 px.
    const int tops[] = {352, 384, 416, 448};
    for (int row = 0; row < 4; ++row) {
        QTest::addRow("prompt %d", row) << QStringLiteral("Label2(%1)").arg(row)
                                        << QRect(40, tops[row], 241, 25) << lightGreen << 13;
        QTest::addRow("answer box %d", row) << QStringLiteral("Text1(%1)").arg(row)
                                            << QRect(280, tops[row], 33, 25) << peach << 0;
    }
    QTest::newRow("verify button") << "Command1" << QRect(576, 320, 97, 33) << QColor() << 0;
    QTest::newRow("check box") << "Check1(0)" << QRect(520, 360, 265, 25) << QColor() << 0;
    QTest::newRow("picture") << "Picture1" << QRect(680, 256, 113, 97) << QColor() << 0;
}

void TestExerciseWindow::controlsStandAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QColor, background);
    QFETCH(int, fontPixels);

    const QWidget *control = m_window->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    if (background.isValid()) {
        const QPalette::ColorRole role =
            qobject_cast<const QLineEdit *>(control) ? QPalette::Base : QPalette::Window;
        QCOMPARE(control->palette().color(role), background);
    }
    if (fontPixels) {
        QCOMPARE(control->font().pixelSize(), fontPixels);
        QVERIFY(control->font().bold());
    }
}

// Also run under QT_SCALE_FACTOR: device pixels follow the factor, while the
// layout, in device-independent pixels, stays as it is.
void TestExerciseWindow::scalesWithTheScreen()
{
    const double factor = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                              ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                              : 1.0;
    QCOMPARE(m_window->devicePixelRatio(), factor);
    QWidget *banner = m_window->findChild<QWidget *>("Label3(1)");
    const QImage drawn = banner->grab().toImage();
    QCOMPARE(drawn.size(), (QSizeF(473, 33) * factor).toSize());
    // The banner's text is drawn in dark blue, and only inside the banner.
    int blue = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            blue += drawn.pixelColor(x, y).blue() > 150 && drawn.pixelColor(x, y).red() < 100;
    QVERIFY(blue > 0);
    QVERIFY(QFontMetrics(banner->font()).height() <= 33);
}

// Whatever the page, each control stands and draws where the layout says,
// and says what it always said.
void TestExerciseWindow::pageFollowsItsLayout_data()
{
    QTest::addColumn<PageSetting>("setting");
    QTest::addColumn<ReadingSettings>("reading");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("kind");

    const PageSetting fit{PageSetting::Kind::Fit, 100};
    const int design = int(PageLayout::Kind::Design);
    QTest::newRow("design") << PageSetting{} << ReadingSettings{} << QSize() << design;
    QTest::newRow("design on a large screen") << PageSetting{} << ReadingSettings{} << QSize(1920, 1080) << design;
    QTest::newRow("fit, 1920x1080") << fit << ReadingSettings{} << QSize(1920, 1080)
                                    << int(PageLayout::Kind::ScaledDesign);
    QTest::newRow("adapted") << PageSetting{} << dyslexic << QSize() << int(PageLayout::Kind::FromContent);
    QTest::newRow("adapted, fit, 1366x768") << fit << dyslexic << QSize(1366, 768)
                                            << int(PageLayout::Kind::FromContent);
}

void TestExerciseWindow::pageFollowsItsLayout()
{
    QFETCH(PageSetting, setting);
    QFETCH(ReadingSettings, reading);
    QFETCH(QSize, size);
    QFETCH(int, kind);

    WindowContext adapted = context();
    adapted.page = setting;
    adapted.reading = reading;
    QVERIFY(restartWindow(adapted));
    if (size.isValid()) { // the window maximised on another screen
        m_window->resize(size);
        QTRY_COMPARE(m_window->size(), size);
    }
    const PageLayout &page = m_window->pageLayout();
    QCOMPARE(int(page.kind), kind);
    // Only the design's page may reach past a small window, as designed.
    QVERIFY(kind == int(PageLayout::Kind::Design) || QRect(QPoint(), m_window->size()).contains(page.page));

    QList<QPair<QString, PageText>> texts = {
        {"Label3(1)", page.banner}, {"Label1", page.passage}, {"Label3(0)", page.instruction}};
    for (int row = 0; row < 4; ++row) {
        texts.append({QStringLiteral("Label2(%1)").arg(row), page.rows[row].prompt});
        QCOMPARE(box(row)->geometry(), page.rows[row].answerBox);
        QCOMPARE(box(row)->font(), page.answerFont);
        QCOMPARE(box(row)->style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, box(row)), page.caretWidth);
        // The caption stays the prompt, as a screen reader and the record read it.
        QCOMPARE(control<QLabel>(QStringLiteral("Label2(%1)").arg(row))->text(), Content::prompt(row));
    }
    for (const auto &[name, text] : texts) {
        const QLabel *label = control<QLabel>(name);
        QCOMPARE(label->geometry(), text.rect);
        QCOMPARE(label->font(), text.font);
    }
    QCOMPARE(control<QLabel>("Label1")->palette().color(QPalette::Window), passageBackground(reading.background));
    QCOMPARE(QApplication::focusWidget(), box(0));
}

// The ruler moves with Up and Down from the answer box, which keeps the
// focus and its text, and with the mouse over the passage.
void TestExerciseWindow::rulerFollowsKeysAndMouse()
{
    auto *passage = control<PageLabel>("Label1");
    QTest::keyClick(box(0), Qt::Key_Down);
    QVERIFY(!passage->rulerLine()); // the design's page has none

    WindowContext adapted = context();
    adapted.reading = dyslexic;
    QVERIFY(restartWindow(adapted));
    passage = control<PageLabel>("Label1");
    QCOMPARE(passage->rulerLine(), 0);
    type(0, QStringLiteral("3"));
    for (const int expected : {1, 2, 3}) {
        QTest::keyClick(box(0), Qt::Key_Down);
        QCOMPARE(passage->rulerLine(), expected);
    }
    QTest::keyClick(box(0), Qt::Key_Up);
    QCOMPARE(passage->rulerLine(), 2);
    QCOMPARE(QApplication::focusWidget(), box(0));
    QCOMPARE(box(0)->text(), QStringLiteral("3"));
    QVERIFY(box(0)->isEnabled());
    for (int i = 0; i < 200; ++i)
        QTest::keyClick(box(0), Qt::Key_Down);
    QCOMPARE(passage->rulerLine(), passage->lineCount() - 1);

    const WrappedText lines(Content::passage(), passage->font(), m_window->pageLayout().passage.textWidth,
                            m_window->pageLayout().lineSpacing);
    QTest::mouseMove(passage, lines.lineRect(4).center().toPoint());
    QTRY_COMPARE(passage->rulerLine(), 4);
    // Drawn: the band under the line, on the cream background.
    const QImage drawn = passage->grab().toImage();
    QCOMPARE(drawn.pixelColor(passage->width() - 2, qRound(lines.lineRect(4).center().y())), rulerBand());
    QCOMPARE(drawn.pixelColor(passage->width() - 2, qRound(lines.lineRect(0).center().y())),
             passageBackground(PassageBackground::Cream));
}

void TestExerciseWindow::tabVisitsOpenAnswerBoxesOnly()
{
    const QList<int> expected = {1, 2, 3, 0, 1};
    for (const int row : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box(row));
    }
    type(1, QStringLiteral("4\r"));
    QCOMPARE(QApplication::focusWidget(), box(0));
    QTest::keyClick(box(0), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box(2)); // the committed row is passed over
}

void TestExerciseWindow::refusedKeysLeaveTheBoxUnchanged_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    QTest::newRow("0") << int(Qt::Key_0) << none << "0";
    QTest::newRow("5") << int(Qt::Key_5) << none << "5";
    QTest::newRow("9") << int(Qt::Key_9) << none << "9";
    QTest::newRow("letter") << int(Qt::Key_A) << none << "a";
    QTest::newRow("accented letter") << int(Qt::Key_Eacute) << none << "é";
    QTest::newRow("space") << int(Qt::Key_Space) << none << " ";
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << "\x1b";
    QTest::newRow("Ctrl+V does not paste") << int(Qt::Key_V) << Qt::KeyboardModifiers(Qt::ControlModifier) << "v";
    QTest::newRow("Ctrl+Enter is a line feed")
        << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << "\n";
    QTest::newRow("Ctrl+A does not select") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::ControlModifier) << "a";
}

void TestExerciseWindow::refusedKeysLeaveTheBoxUnchanged()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);

    QGuiApplication::clipboard()->setText(QStringLiteral("1"));
    type(0, QStringLiteral("2"));
    QTest::sendKeyEvent(QTest::Click, box(0), Qt::Key(key), text, modifiers);
    QCOMPARE(box(0)->text(), QStringLiteral("2"));
    QCOMPARE(box(0)->cursorPosition(), 1);
    QVERIFY(!box(0)->hasSelectedText());
    QVERIFY(box(0)->isEnabled()); // nothing was committed
    QVERIFY(resultsLog().isEmpty());
}

void TestExerciseWindow::editingKeysKeepTheirEffect()
{
    QLineEdit *answer = box(0);
    type(0, QStringLiteral("123"));
    QTest::keyClick(answer, Qt::Key_Left);
    QTest::keyClick(answer, Qt::Key_Backspace);
    QCOMPARE(answer->text(), QStringLiteral("13"));
    QTest::keyClick(answer, Qt::Key_Home);
    QTest::sendKeyEvent(QTest::Click, answer, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
    QCOMPARE(answer->text(), QStringLiteral("3"));
    QTest::keyClick(answer, Qt::Key_End);
    QTest::keyClick(answer, Qt::Key_4, Qt::KeypadModifier);
    QCOMPARE(answer->text(), QStringLiteral("34"));
    QTest::keyClick(answer, Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(!answer->isEnabled()); // keypad Enter commits too
    QCOMPARE(answer->text(), QStringLiteral("34")); // wrong: the pupil's text stays
}

// Dead keys and compose sequences arrive as input-method text, not key presses.
void TestExerciseWindow::inputMethodTextIsFiltered()
{
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("1é 2x"));
    QApplication::sendEvent(box(0), &composed);
    QCOMPARE(box(0)->text(), QStringLiteral("12"));

    QInputMethodEvent enter;
    enter.setCommitString(QStringLiteral("\r"));
    QApplication::sendEvent(box(0), &enter);
    QVERIFY(!box(0)->isEnabled());
}

void TestExerciseWindow::focusGoesToTheFirstOpenRow()
{
    box(2)->setFocus();
    type(2, QStringLiteral("1\r"));
    QVERIFY(!box(2)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), box(0));
    type(0, QStringLiteral("3\r"));
    QCOMPARE(QApplication::focusWidget(), box(1));
    QCOMPARE(box(0)->text(), QStringLiteral("3"));
}

void TestExerciseWindow::fourthCommitEndsTheExercise_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<Value>("rightCount");
    QTest::addColumn<Value>("wrongCount");
    QTest::addColumn<ReadingSettings>("reading");

    const ReadingSettings design;
    QTest::newRow("worked example") << QStringList{"3", "4", "2", "2"} << Value(3) << Value(1) << design;
    QTest::newRow("all right") << QStringList{"3", "4", "1", "2"} << Value(4) << Value() << design;
    QTest::newRow("last commit empty, neither")
        << QStringList{"3", "4", "1", ""} << Value(3) << Value() << design;
    QTest::newRow("13 is neither")
        << QStringList{"13", "4", "1", "2"} << Value(3) << Value() << design;
    // The same bytes, whatever the page shows.
    QTest::newRow("worked example, adapted page")
        << QStringList{"3", "4", "2", "2"} << Value(3) << Value(1) << dyslexic;
}

void TestExerciseWindow::fourthCommitEndsTheExercise()
{
    QFETCH(QStringList, answers);
    QFETCH(Value, rightCount);
    QFETCH(Value, wrongCount);
    QFETCH(ReadingSettings, reading);

    if (!reading.isDesign()) {
        WindowContext adapted = context();
        adapted.reading = reading;
        QVERIFY(restartWindow(adapted));
    }
    MessageBoxAnswerer answerer;
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));

    QList<RecordRow> rows;
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(QApplication::focusWidget(), box(row));
        QVERIFY(ended.isEmpty());
        type(row, answers[row] + u'\r');
        rows.append({Content::prompt(row), answers[row].isEmpty() ? Value() : Value(answers[row])});
    }

    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toInt(), 0);
    QCOMPARE(resultsLog(), recordLine({rightCount, wrongCount, rows}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" 0$"));

    QCOMPARE(answerer.seen.size(), 1);
    const MessageBoxAnswerer::Box &closing = answerer.seen.first();
    QCOMPARE(closing.title, QStringLiteral("morvel2"));
    QCOMPARE(closing.text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QCOMPARE(closing.buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!closing.hasIcon);
    QVERIFY(closing.modal);
    // As large as the page's text.
    QCOMPARE(closing.fontPixels, QFontInfo(m_window->pageLayout().messageFont).pixelSize());
    // Wide enough that a window manager need not cut its title.
    QVERIFY2(closing.width >= titleRoom(closing.title),
             qPrintable(QStringLiteral("%1 px for %2").arg(closing.width).arg(titleRoom(closing.title))));

    // Once the exercise has ended the window may close.
    QVERIFY(m_window->close());
}

void TestExerciseWindow::twoRunsAppendTwoLines()
{
    MessageBoxAnswerer answerer;
    for (int row = 0; row < 4; ++row)
        type(row, QStringLiteral("3\r"));
    const QByteArray first = resultsLog();
    QCOMPARE(first.count("\r\n"), 1);

    // The next pupil, the next day: a new run of the program.
    QVERIFY(restartWindow(context()));
    for (int row = 0; row < 4; ++row)
        type(row, QString::number(row + 1) + u'\r');
    const QByteArray both = resultsLog();
    QCOMPARE(both.count("\r\n"), 2);
    QVERIFY(both.startsWith(first));
    QVERIFY(both.mid(first.size()).startsWith("202 "));
}

void TestExerciseWindow::closingIsRefusedUntilTheEnd()
{
    MessageBoxAnswerer answerer;
    type(0, QStringLiteral("3\r"));
    type(1, QStringLiteral("4\r"));
    type(2, QStringLiteral("1\r"));
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QVERIFY(answerer.seen.isEmpty()); // refused silently
    QVERIFY(resultsLog().isEmpty());  // and three commits never end the exercise
}

void TestExerciseWindow::minimisingIsUndone()
{
    m_window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(m_window->windowState() == Qt::WindowMaximized);
    m_window->showNormal();
    QTRY_VERIFY(m_window->windowState() == Qt::WindowMaximized);
}

QTEST_MAIN(TestExerciseWindow)
#include "tst_exercisewindow.moc"
