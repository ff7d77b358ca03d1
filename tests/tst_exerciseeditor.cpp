// The teacher's exercise editor, its list and the preview, driven as a
// teacher drives them.
#include "app/applicationsetup.h"
#include "safeplace.h"
#include "exercisefile/exercisefile.h"
#include "exercisefile/exercisewriter.h"
#include "teacher/exerciseeditor.h"
#include "teacher/exercisepreview.h"
#include "teacher/exercisesdialog.h"
#include "teacher/exercisesmodel.h"
#include "window/morvel2.h"
#include "messageboxanswerer.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString passage = QStringLiteral("1. Les hirondelles reviennent.\n\n2. Elles réparent leur nid.\n\n"
                                       "3. Elles repartent.");

template <typename T = QWidget> T *child(const QWidget *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

// A whole passage pasted into an empty box, as Ctrl+V does it.
void paste(QPlainTextEdit *box, const QString &text)
{
    box->clear();
    QGuiApplication::clipboard()->setText(text);
    box->paste();
}

// A form filled as a teacher fills it: a title, the passage pasted, one
// idea a paragraph.
void fillIn(ExerciseEditor &editor, const QString &title = QStringLiteral("Les hirondelles"))
{
    child<QLineEdit>(&editor, QStringLiteral("title"))->setText(title);
    paste(child<QPlainTextEdit>(&editor, QStringLiteral("passage")), passage);
    for (int row = 0; row < 3; ++row) {
        if (row > 0)
            child<QPushButton>(&editor, QStringLiteral("addIdea"))->click();
        child<QLineEdit>(&editor, QStringLiteral("idea%1").arg(row))->setText(QStringLiteral("Idée %1").arg(row + 1));
        auto *list = child<QComboBox>(&editor, QStringLiteral("ideaParagraph%1").arg(row));
        list->setCurrentIndex(list->findData(3 - row));
    }
}

} // namespace

class TestExerciseEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void faultBesideItsField_data();
    void faultBesideItsField();
    void savedFileReadsBack();
    void doneExerciseTakesNewCode();
    void recordedCodeRefused();
    void tallPageWarnsAndSaves();
    void listOfExercises();
    void previewTouchesNothing();

private:
    EditorStart start(EditorStart::Mode mode = EditorStart::Mode::New) const
    {
        EditorStart given;
        given.mode = mode;
        given.exercise.code = QStringLiteral("302");
        given.folder = m_folder->path();
        given.files = {QStringLiteral("301-a.txt")};
        given.fileOfCode = {{QStringLiteral("301"), QStringLiteral("301-a.txt")}};
        given.hasAttempts = [this](const QString &code) { return m_recorded.contains(code); };
        return given;
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_recorded;
};

void TestExerciseEditor::init()
{
    setUpApplication();
    m_folder = std::make_unique<QTemporaryDir>();
    m_recorded.clear();
}

void TestExerciseEditor::cleanup()
{
    m_folder.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestExerciseEditor::faultBesideItsField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("faultLabel");
    QTest::addColumn<QString>("said");
    QTest::newRow("a code of two digits") << "code" << "30" << "codeFault" << "trois chiffres";
    QTest::newRow("the built-in code") << "code" << "202" << "codeFault" << "livré avec le programme";
    QTest::newRow("another file's code") << "code" << "301" << "codeFault" << "déjà celui de 301-a.txt";
    QTest::newRow("a title Windows-1252 lacks") << "title" << "Les oiseaux \u2192 le sud" << "titleFault"
                                                << "Windows-1252";
    QTest::newRow("an idea Windows-1252 lacks") << "idea0" << "Le \U0001F426 revient" << "ideaFault0"
                                                << "Windows-1252";
}

void TestExerciseEditor::faultBesideItsField()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, faultLabel);
    QFETCH(QString, said);
    ExerciseEditor editor(start());
    fillIn(editor);
    QVERIFY2(editor.faults().isEmpty(), qPrintable(describeFaults(editor.faults())));
    auto *edit = child<QLineEdit>(&editor, field);
    edit->clear();
    edit->insert(typed); // what keys would type, some of which no key click gives

    auto *label = child<QLabel>(&editor, faultLabel);
    QVERIFY(!label->isHidden());
    QVERIFY2(label->text().contains(said), qPrintable(label->text()));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    // Nothing is written while something is wrong.
    QVERIFY(!editor.save());
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList());
}

void TestExerciseEditor::savedFileReadsBack()
{
    ExerciseEditor editor(start());
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    // Typed at once, into the title.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
    QCOMPARE(child<QLineEdit>(&editor, QStringLiteral("title"))->text(), QStringLiteral("x"));
    QSignalSpy saved(&editor, &ExerciseEditor::saved);
    fillIn(editor, QStringLiteral("<b>x</b> &amp; =1+1"));
    // The passage pasted whole: its paragraphs, their numbers taken off.
    QCOMPARE(child<QLabel>(&editor, QStringLiteral("paragraphCount"))->text(), QStringLiteral("3 paragraphes"));
    QVERIFY(editor.status()->text().contains(QStringLiteral("3 numéros retirés")));
    QCOMPARE(child<QComboBox>(&editor, QStringLiteral("ideaParagraph0"))->itemText(2),
             QStringLiteral("paragraphe 2 : Elles réparent leur nid."));
    QVERIFY(editor.save());
    QCOMPARE(saved.size(), 1);
    const QString file = saved.at(0).at(0).toString();
    QCOMPARE(file, QStringLiteral("302-b-x-b-amp-1-1.txt"));
    QCOMPARE(saved.at(0).at(1).toString(), QString());
    const ExerciseRead read = readExerciseFile(QFile::encodeName(m_folder->filePath(file)).toStdString());
    QVERIFY(read.exercise);
    QCOMPARE(*read.exercise, editor.exercise());
#ifndef Q_OS_WIN
    // 644, whatever the umask: pupils read it, nobody else changes it.
    QCOMPARE(QFile::permissions(m_folder->filePath(file)) & 0x7077,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
#endif
    // Saved again without change: nothing written.
    QVERIFY(editor.save());
    QCOMPARE(saved.size(), 1);
}

void TestExerciseEditor::doneExerciseTakesNewCode()
{
    EditorStart given = start(EditorStart::Mode::Modify);
    given.exercise = copyOf(builtInExercise(), QStringLiteral("301"));
    given.file = QStringLiteral("301-a.txt");
    QVERIFY(saveExerciseFile(given.exercise, m_folder->filePath(given.file)).saved);
    m_recorded = {QStringLiteral("301"), QStringLiteral("302")};
    ExerciseEditor editor(given);
    QSignalSpy saved(&editor, &ExerciseEditor::saved);
    child<QLineEdit>(&editor, QStringLiteral("idea0"))->setText(QStringLiteral("Le meilleur album"));
    QVERIFY(editor.save());
    QCOMPARE(saved.at(0).at(0).toString(), QStringLiteral("303-morvel-sens-paragraphes-3412-copie.txt"));
    QCOMPARE(saved.at(0).at(1).toString(), QStringLiteral("301-a.txt"));
    QVERIFY(editor.status()->text().contains(QStringLiteral("de code 303")));
    QCOMPARE(*readExerciseFile(QFile::encodeName(m_folder->filePath(given.file)).toStdString()).exercise,
             given.exercise);
    // The new one has no attempts: changed again, it stays in its file.
    child<QLineEdit>(&editor, QStringLiteral("idea0"))->setText(QStringLiteral("Le plus bel album"));
    QVERIFY(editor.save());
    QCOMPARE(saved.at(1).at(0).toString(), saved.at(0).at(0).toString());
    QCOMPARE(saved.at(1).at(1).toString(), QString());
}

void TestExerciseEditor::recordedCodeRefused()
{
    m_recorded = {QStringLiteral("302")}; // a deleted exercise's records
    ExerciseEditor editor(start());
    fillIn(editor);
    QVERIFY(!editor.save());
    auto *fault = child<QLabel>(&editor, QStringLiteral("codeFault"));
    QVERIFY(!fault->isHidden());
    QVERIFY2(fault->text().contains(QStringLiteral("comme 303")), qPrintable(fault->text()));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList());
}

void TestExerciseEditor::tallPageWarnsAndSaves()
{
    ExerciseEditor editor(start());
    fillIn(editor);
    QVERIFY(editor.pageWarning()->isHidden());
    const QString paragraph = QString(950, u'x').replace(u'x', QStringLiteral("m "));
    paste(child<QPlainTextEdit>(&editor, QStringLiteral("passage")), QStringList(3, paragraph).join(u"\n\n"));
    QTRY_VERIFY(!editor.pageWarning()->isHidden());
    QVERIFY2(editor.pageWarning()->text().contains(QStringLiteral("raccourcissez le texte d'environ")),
             qPrintable(editor.pageWarning()->text()));
    QVERIFY(editor.save());
}

void TestExerciseEditor::listOfExercises()
{
    MORVEL2_SKIP_UNLESS_SAFE_PLACE(m_folder->path());
    QVERIFY(saveExerciseFile(*parseExerciseFile(exerciseFileText(copyOf(builtInExercise(), QStringLiteral("301"))))
                                  .exercise,
                             m_folder->filePath(QStringLiteral("301-copie.txt")))
                .saved);
    // Markup once escaped: a name Windows allows too.
    QFile broken(m_folder->filePath(QStringLiteral("&lt;b&gt;x.txt")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("code : 3\n");
    broken.close();
    ExercisesDialog dialog({m_folder->path(), true, {}}, {});
    QAbstractItemModelTester tester(dialog.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(dialog.model()->rowCount(), 3);
    QCOMPARE(dialog.model()->index(0, ExercisesModel::Code).data().toString(), QStringLiteral("202"));
    const int brokenRow = dialog.model()->rowOf(QStringLiteral("&lt;b&gt;x.txt"));
    QVERIFY(brokenRow > 0);
    QVERIFY(dialog.model()->index(brokenRow, ExercisesModel::Problem).data().toString().contains(QStringLiteral("ligne 1")));
    // The built-in one: previewed and copied, never modified or deleted.
    dialog.table()->selectRow(0);
    for (const auto &[name, enabled] : {std::pair{"modify", false}, {"delete", false}, {"preview", true},
                                        {"duplicate", true}, {"offer", true}})
        QCOMPARE(dialog.button(QLatin1String(name))->isEnabled(), enabled);
    dialog.table()->selectRow(brokenRow);
    QVERIFY(!dialog.button(QStringLiteral("modify"))->isEnabled()); // not an exercise: a text editor's work
    QVERIFY(dialog.button(QStringLiteral("delete"))->isEnabled());
}

// Done to the end, the preview closes itself alone: no record anywhere,
// the clipboard as it was, the teacher's window still there. Closed early,
// it closes at once.
void TestExerciseEditor::previewTouchesNothing()
{
    QWidget owner;
    owner.show();
    QGuiApplication::clipboard()->setText(QStringLiteral("le presse-papiers du professeur"));
    const Exercise exercise = copyOf(builtInExercise(), QStringLiteral("301"));
    QPointer<Morvel2> preview = openPreview(exercise, {}, {}, &owner);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    MessageBoxAnswerer answerer;
    for (int row = 0; row < exercise.ideaCount(); ++row)
        QTest::keyClicks(preview->findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(row)),
                         exercise.expectedAnswer(row) + u'\r');
    QTRY_VERIFY(!preview);
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.at(0).text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QVERIFY(owner.isVisible());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("le presse-papiers du professeur"));
    QVERIFY(!QFile::exists(QDir::home().filePath(QStringLiteral("estest.txt"))));
    QVERIFY(!QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).exists(QStringLiteral("morvel2")));
    QPointer<Morvel2> early = openPreview(exercise, previewReadingChoices().last().second, {}, &owner);
    QVERIFY(QTest::qWaitForWindowExposed(early));
    QVERIFY(early->close());
    QTRY_VERIFY(!early);
}

QTEST_MAIN(TestExerciseEditor)
#include "tst_exerciseeditor.moc"
