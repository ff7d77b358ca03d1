#include "exercisefixture.h"
#include "messageboxanswerer.h"
#include "record/record.h"
#include "window/exercisechooser.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// A teacher's exercise in the pupil's window, started at once or chosen on
// the first page, as a pupil does it.
namespace {

Exercise teachersExercise(const QString &code, const QString &title, int ideas)
{
    Exercise exercise;
    exercise.code = code;
    exercise.label = title;
    exercise.paragraphs = {QStringLiteral("1. Lila sème des radis."), QStringLiteral("2. Il pleut trois jours."),
                           QStringLiteral("3. Tout pousse.")};
    exercise.readingInstruction = QStringLiteral("Lis le texte.");
    exercise.questionInstruction = defaultQuestionInstruction(3);
    for (int i = 0; i < ideas; ++i)
        exercise.ideas.append({QStringLiteral("Idée n°%1 : « é »").arg(i + 1), i % 3 + 1});
    return exercise;
}

} // namespace

class TestTeacherExercise : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void runsFromItsContent();
    void elevenRows();
    void chosenWithTheKeyboard();
    void chosenWithTheMouse();
    void verificationWithOneRow();

private:
    bool start(const QList<Exercise> &exercises)
    {
        WindowContext offered = context();
        offered.exercises = exercises;
        return restartWindow(offered);
    }
    QPushButton *title(int index) const { return control<QPushButton>(QStringLiteral("exercise(%1)").arg(index)); }
};

void TestTeacherExercise::runsFromItsContent()
{
    const Exercise exercise = teachersExercise("457", "<b>x</b> &amp; =1+1", 5);
    QVERIFY(start({exercise}));
    QVERIFY(!control<ExerciseChooser>("chooser"));
    QCOMPARE(QApplication::focusWidget(), box(0));
    QCOMPARE(control<QLabel>("Label1")->text(), exercise.passage());
    QCOMPARE(control<QLabel>("Label3(1)")->text(), QStringLiteral("Lis le texte."));
    QVERIFY(control<QLabel>("Label3(0)")->text().contains(QStringLiteral("de 1 à 3 pour")));
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(control<QLabel>(QStringLiteral("Label2(%1)").arg(row))->text(), exercise.ideas[row].prompt);
        QVERIFY(box(row)->isVisible());
    }
    QVERIFY(!box(5));
    // Placed as the built-in rows are: 100 twips apart, whatever the content.
    QCOMPARE(box(4)->y() - box(3)->y(), box(1)->y() - box(0)->y());

    // Three paragraphs: 4 is no answer; 12 and 23 are wrong, 13 is neither.
    MessageBoxAnswerer answerer;
    type(0, QStringLiteral("4"));
    QCOMPARE(box(0)->text(), QString());
    const QStringList answers = {"1", "12", "3", "13", ""};
    for (int row = 0; row < 5; ++row)
        type(row, answers[row] + u'\r');

    QList<RecordRow> rows;
    for (int row = 0; row < 5; ++row)
        rows.append({exercise.ideas[row].prompt, answers[row].isEmpty() ? Value() : Value(answers[row])});
    // Rows 0 (1) and 2 (3) right, row 1 (12) wrong.
    QCOMPARE(resultsLog(), recordLine({2, 1, rows, "457", "<b>x</b> &amp; =1+1"}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" 0$"));
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
}

void TestTeacherExercise::elevenRows()
{
    QVERIFY(start({teachersExercise("301", "Onze", 11)}));
    for (int row = 0; row < 11; ++row)
        QVERIFY(box(row)->isVisible());
    QVERIFY(!box(11));
    MessageBoxAnswerer answerer;
    box(10)->setFocus();
    type(10, QStringLiteral("2\r"));
    QCOMPARE(QApplication::focusWidget(), box(0));
    for (int row = 0; row < 10; ++row) {
        QVERIFY(resultsLog().isEmpty());
        type(row, QStringLiteral("1\r"));
    }
    const QByteArray line = resultsLog();
    QVERIFY2(line.startsWith("301           Onze  justes: 5    faux: 6    score:5"), line);
    QCOMPARE(line.count("\r\n"), 1);
}

void TestTeacherExercise::chosenWithTheKeyboard()
{
    QVERIFY(start({teachersExercise("301", "Le potager", 2), teachersExercise("302", "Tom & Léa", 3),
                   teachersExercise("303", "<b>x</b>", 1)}));
    QVERIFY(control<ExerciseChooser>("chooser")->isVisible());
    QCOMPARE(control<ExerciseChooser>("chooser")->geometry(), m_window->rect());
    QCOMPARE(control<QLabel>("chooserHeading")->text(), QStringLiteral("Choisis ton exercice"));
    QCOMPARE(title(1)->text(), QStringLiteral("Tom && Léa")); // no shortcut made of it
    QCOMPARE(title(2)->text(), QStringLiteral("<b>x</b>"));
    QVERIFY(!box(0));
    QVERIFY(!m_window->close()); // no leaving before the end, on this page either
    QCOMPARE(QApplication::focusWidget(), title(0));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // stays on the last
    QCOMPARE(QApplication::focusWidget(), title(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), title(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QTRY_VERIFY(!control<ExerciseChooser>("chooser"));
    QVERIFY(m_window->isMaximized());
    QCOMPARE(QApplication::focusWidget(), box(0));
    QVERIFY(box(2)->isVisible());
    QVERIFY(!box(3));
    QVERIFY(!control<QWidget>("Command1")->isVisible()); // hidden by start-up, not shown with the rest
    QVERIFY(control<QLabel>("Label1")->isVisible());
    MessageBoxAnswerer answerer;
    for (int row = 0; row < 3; ++row)
        type(row, QString::number(row + 1) + u'\r');
    QVERIFY2(resultsLog().startsWith("302           Tom & L\xe9""a  justes: 3 "), resultsLog());
}

void TestTeacherExercise::chosenWithTheMouse()
{
    QVERIFY(start({teachersExercise("301", "Le potager", 2), teachersExercise("302", "Le phare", 3)}));
    QTest::mouseClick(title(0), Qt::LeftButton);
    QTRY_VERIFY(box(1) && box(1)->isVisible());
    QVERIFY(!box(2));
    QCOMPARE(QApplication::focusWidget(), box(0));
}

// The dormant check-box mode writes its totals over rows 0 and 1; with one
// row there is only the first to write over.
void TestTeacherExercise::verificationWithOneRow()
{
    QVERIFY(start({teachersExercise("301", "Un", 1)}));
    MessageBoxAnswerer answerer;
    control<QPushButton>("Command1")->show();
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QCOMPARE(answerer.seen.size(), 1);
    type(0, QStringLiteral("1\r"));
    QVERIFY2(resultsLog().contains("score:1          r\xe9ussites= 0  1             \r\n"), resultsLog());
}

QTEST_MAIN(TestTeacherExercise)
#include "tst_teacherexercise.moc"
