#pragma once

#include "layout/pagelayout.h"
#include "layout/pagesetting.h"
#include "reading/readingsettings.h"
#include "checkbox/checkboxstate.h"
#include "exercise/exercise.h"
#include "exercise/state.h"
#include "saving/saverecord.h"

#include <QList>
#include <QWidget>

#include <array>
#include <filesystem>

class AnswerBox;
class ExerciseChooser;
class QCheckBox;
class QLabel;
class QPushButton;
class ScreenFollower;
struct PageControls;

// What the window is given by the program around it: it reads no setting
// and no environment of its own.
struct WindowContext
{
    RecordDestination results;
    // A results-log setting that could not be used, said in a box once the
    // window shows; empty when there is nothing to say.
    QString settingWarning;
    // The folder standing for the root of drive C, where the check-box
    // mode's pictures are looked for.
    std::filesystem::path driveRoot;
    // How the record is written; the real writers unless a test says otherwise.
    RecordWriters writers;
    // The exercises the pupil is offered: none for the built-in one, one to
    // start it at once, several to choose from first.
    QList<Exercise> exercises = {};
    // How large the page is drawn: the machine's setting.
    PageSetting page = {};
    // How this pupil reads best; the design's page without.
    ReadingSettings reading = {};
    // A teacher's preview of the page: it closes whenever asked and, at the
    // end, closes itself alone, writing no record and leaving the clipboard
    // as it was.
    bool preview = false;
};

// The exercise window, `morvel2`: the passage (Label1) between two
// instructions (Label3), and one question row per idea, a prompt (Label2)
// followed by an answer box (Text1). The controls of the check-box mode
// (Check1, Command1, Picture1) exist but stay hidden. The exercise is the
// built-in one unless the context offers others; offered several, the
// window first shows their titles (ExerciseChooser) and builds the chosen
// exercise's page in their place.
//
// How the rooms fit (src/CMakeLists.txt lists them once). The window owns
// the exercise state and the controls, and stays thin: its handlers carry
// the names the exercise's authors gave them, turn events into calls of
// plain functions and apply what they return. exercise/ holds the exercise
// as plain data, filters keys and judges answers; everything the record
// needs (code, label, captions, answers) is kept in the exercise state,
// never read back from a control. Rows are first placed as designed
// (rowplacement); then layout/ decides where each control stands and which
// font it draws with, for the exercise, the pupil's reading settings
// (reading/), the page setting and the window's size, and
// window/pagewidgets puts that on the controls, again whenever the window's
// size or screen changes. record/ lays out the record, with the prompts and
// columns it shares with the teacher's reading of it; saving/ saves it
// through the writer chosen for the setting (retrying through a question
// the window asks the pupil, rescuing what cannot be saved) and says how
// that went, which the window turns into boxes; logfile/ is the writer
// itself; checkbox/ judges the check-box sets. app/ holds the process:
// main(), the standard streams, the one-time set-up and the session guard
// that rescues a waiting record at logout; it reads the settings and hands
// the window a WindowContext. The teacher's side, classroom/ and cli/,
// never touches the window.
//
// The check-box mode answers by ticks judged with a verify button. Its
// controls stay hidden in this exercise; a window that uses it supplies its
// sets through checkBoxState() and more boxes through createCheckBox().
//
// The program ends through programEnded(): app/program.cpp ties it to the
// event loop. A preview (WindowContext::preview) never ends it.
class Morvel2 : public QWidget
{
    Q_OBJECT

public:
    explicit Morvel2(WindowContext context, QWidget *parent = nullptr);
    ~Morvel2() override;

    CheckBoxState &checkBoxState() { return m_checkBox; }
    // The page as it is laid out now, once the window is on the screen.
    const PageLayout &pageLayout() const { return *m_layout; }
    // Check box `index` (1 to 8), copied from Check1(0) and hidden until the
    // caller places and shows it.
    QCheckBox *createCheckBox(int index);

signals:
    // The exercise is over and the closing message was read; the status is 0,
    // or 1 when the record could not be written to the results log.
    void programEnded(int exitStatus);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showChooser();
    void startExercise(const Exercise &exercise);
    void createDesignControls();
    void applyLayout();
    PageControls pageControls() const;
    std::optional<QFont> messageFont() const;

    void Form_Load();
    void Form_Resize();
    void Form_Unload(bool &cancel);
    void Text1_KeyPress(int Index, int &KeyAscii);
    void CheckAnswer(int Index);
    void FocusNextAnswer();
    void FinishExercise();
    bool WriteResults();
    void Check1_Click(int Index);
    void Command1_Click();

    AnswerBox *makeAnswerBox(int index);
    QCheckBox *makeCheckBox(int index);
    void createQuestionRow(int index);
    bool askToRetry(const QString &path, const QString &reason);
    void showMessage(const QString &text, const QString &title = QStringLiteral("morvel2"));

    Exercise m_exercise;
    ExerciseState m_state;
    CheckBoxState m_checkBox;
    const WindowContext m_context;
    ExerciseChooser *m_chooser = nullptr;
    ControlChrome m_chrome;
    std::optional<PageLayout> m_layout;
    QSize m_layoutSize;
    ScreenFollower *m_screen = nullptr;
    bool m_settingWarned = false;

    QList<AnswerBox *> Text1;
    QList<QLabel *> Label2;
    std::array<QLabel *, 2> Label3{};
    QLabel *Label1 = nullptr;
    QList<QCheckBox *> Check1;
    QPushButton *Command1 = nullptr;
    QLabel *Picture1 = nullptr;
};
