#pragma once

#include "exercisefile/editrules.h"
#include "offered/exerciselibrary.h"

#include <QWidget>

class ExerciseEditor;
class ExercisesModel;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// Where the teacher's exercises are kept: the folder the machine's setting
// names (the one the pupils' program reads), or, where no technician has
// set one, a folder the teacher picked, where exercises can be written and
// previewed but not offered.
struct ExercisesPlace
{
    QString folder;          // empty: none yet
    bool machineSet = false; // named by the machine's setting
    QString problem;         // the setting could not be used, in French
};
ExercisesPlace exercisesPlace();

// "Exercices…", from the teacher's window: the exercises as a table
// (ExercisesModel, the built-in one first), and what the teacher does with
// them: write a new one, modify, copy or delete one (ExerciseEditor),
// preview one as a pupil will see it (exercisepreview.h) and choose those
// the class is offered (OfferDialog). The built-in exercise can be
// previewed and copied, not modified or deleted. The window tells whether
// the class has done an exercise through `hasAttempts`.
class ExercisesDialog : public QWidget
{
    Q_OBJECT

public:
    ExercisesDialog(ExercisesPlace place, HasAttempts hasAttempts, QWidget *parent = nullptr);

    QTableView *table() const { return m_table; }
    ExercisesModel *model() const { return m_model; }
    QPushButton *button(const QString &name) const;
    // Reads the folder again.
    void reload();
    // What the buttons do, for the selected row.
    ExerciseEditor *newExercise();
    ExerciseEditor *modify();
    ExerciseEditor *duplicate();
    void remove();
    void preview();
    void offer();

private:
    void showPlace();
    void chooseFolder();
    void select(const QString &file);
    int currentRow() const;
    void updateButtons();
    ExerciseEditor *openEditor(int mode, const Exercise &exercise, const QString &file);
    void saved(const QString &file, const QString &replaced);
    void tell(const QString &text);
    QWidget *previewOwner();

    ExercisesPlace m_place;
    HasAttempts m_hasAttempts;
    ExercisesModel *m_model;
    QTableView *m_table;
    QLabel *m_placeText;
    QLabel *m_problem;
    QPushButton *m_chooseFolder;
    QComboBox *m_reading;
};
