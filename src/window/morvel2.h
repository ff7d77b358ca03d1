#pragma once

#include "checkbox/checkboxstate.h"
#include "exercise/state.h"
#include "results/logsetting.h"

#include <QList>
#include <QWidget>

#include <array>

class AnswerBox;
class QCheckBox;
class QLabel;
class QPushButton;

// The exercise window, `morvel2`: the passage (Label1) between two
// instructions (Label3), and one question row per idea, a prompt (Label2)
// followed by an answer box (Text1). The controls of the check-box mode
// (Check1, Command1, Picture1) exist but stay hidden.
//
// The window owns the exercise state and the controls; the decisions live
// elsewhere as plain functions: exercise/ filters keys and judges answers,
// results/ lays out the record and appends it to the log. The handlers below
// carry the names the exercise's authors gave them, turn events into calls
// of those functions and apply what they return.
//
// The check-box mode answers by ticks judged with a verify button. Its
// controls stay hidden in this exercise; a window that uses it supplies its
// sets through checkBoxState() and more boxes through createCheckBox().
//
// Where the results log lives is read once, at start-up: a technician may
// have set it for the whole class (results/logsetting.h); a setting that
// cannot be used is said in a box once the window shows.
//
// The program ends through programEnded(): main() ties it to the event loop.
class Morvel2 : public QWidget
{
    Q_OBJECT

public:
    explicit Morvel2(QWidget *parent = nullptr);
    ~Morvel2() override;

    CheckBoxState &checkBoxState() { return m_checkBox; }
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
    void createDesignControls();

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
    bool saveRecord(const QByteArray &record, const QString &recordText);
    bool askToRetry(const QString &path, const QString &reason);
    void showMessage(const QString &text, const QString &title = QStringLiteral("morvel2"));

    ExerciseState m_state;
    CheckBoxState m_checkBox;
    const LogLocation m_resultsLog = resultsLogLocation();
    bool m_settingChecked = false;

    QList<AnswerBox *> Text1;
    QList<QLabel *> Label2;
    std::array<QLabel *, 2> Label3{};
    QLabel *Label1 = nullptr;
    QList<QCheckBox *> Check1;
    QPushButton *Command1 = nullptr;
    QLabel *Picture1 = nullptr;
};
