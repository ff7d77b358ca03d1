#pragma once

#include "exercise/exercise.h"
#include "exercisefile/editrules.h"
#include "exercisefile/exercisedraft.h"
#include "layout/pagelayout.h"

#include <QDialog>
#include <QHash>

class IdeaRows;
class PassageBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// Where the editor starts, and what it knows of the folder it saves in.
struct EditorStart
{
    enum class Mode { New, Modify, Copy };
    Mode mode = Mode::New;
    Exercise exercise;  // the fields' first values
    QString file;       // with Modify: the exercise's file in the folder
    QString folder;     // where it is saved
    QStringList files;  // the folder's files
    QHash<QString, QString> fileOfCode; // the code each of them holds
    HasAttempts hasAttempts; // whether the class's results hold a code
};

// A teacher's exercise as a form: its code (proposed, one no file of the
// folder has), its title, the two instructions (empty for the default
// ones, which the fields show), its passage (PassageBox: a whole passage
// pasted is split into paragraphs) and its ideas, each choosing its
// paragraph from a list (IdeaRows). Every change is checked at once with
// the exercise file's own rules (exercisefile/exercisedraft.h), each fault
// beside its field, in French; a page too tall for a small screen at the
// design's size is a warning that does not stop the saving. "Enregistrer"
// writes the file as one piece; an exercise the class has done is saved
// under a new code (exercisefile/editrules.h), its old file kept.
class ExerciseEditor : public QDialog
{
    Q_OBJECT

public:
    explicit ExerciseEditor(EditorStart start, QWidget *parent = nullptr);

    // The exercise the fields make now, right or not.
    Exercise exercise() const;
    // Everything wrong with it now, as shown beside the fields.
    QList<ExerciseFault> faults() const { return m_faults; }
    // What "Enregistrer" does: true once the file is written.
    bool save();
    QString file() const { return m_start.file; }
    QLabel *pageWarning() const { return m_pageWarning; }
    QLabel *status() const { return m_status; }

signals:
    // Written to `file`; `replaced`: the file of the code it took over from
    // when it was saved under a new code.
    void saved(const QString &file, const QString &replaced);
    void previewRequested(const Exercise &exercise);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildFields();
    QWidget *buildPassage();
    void fill(const Exercise &exercise);
    ExerciseDraft draft() const;
    void check();
    void checkPage();
    QString saveFile(Exercise &edited, QString &replaced);
    void tellSaved(const QString &file, const QString &replaced, const QString &oldCode);

    EditorStart m_start;
    Exercise m_lastSaved; // what closing without saving would lose
    QList<ExerciseFault> m_faults;
    ControlChrome m_chrome;
    QLineEdit *m_code;
    QLabel *m_codeFault;
    QLineEdit *m_title;
    QLabel *m_titleFault;
    QLineEdit *m_readingInstruction;
    QLabel *m_readingFault;
    QLineEdit *m_questionInstruction;
    QLabel *m_questionFault;
    PassageBox *m_passage;
    QLabel *m_paragraphCount;
    QLabel *m_passageFault;
    IdeaRows *m_ideas;
    QLabel *m_pageWarning;
    QLabel *m_status;
    QPushButton *m_preview;
    QTimer *m_pageCheck;
};
