#pragma once

#include "adaptations/adaptationsdraft.h"

#include <QDialog>

class AdaptationsSample;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

// "Adaptations de lecture": the teacher sets the class's reading settings
// and each pupil's (chosen from the class, or added by login), and sees a
// few lines of the passage as that pupil will read them. A thin view on an
// AdaptationsDraft; "Enregistrer" writes every file through `write`
// (classadaptations.h) and says what went wrong, file by file.
class AdaptationsDialog : public QDialog
{
    Q_OBJECT

public:
    AdaptationsDialog(const ClassAdaptations &current, const QStringList &known, WriteAdaptations write,
                      QWidget *parent = nullptr);

    const AdaptationsDraft &draft() const { return m_draft; }
    AdaptationsSample *sample() const { return m_sample; }
    // Writes every file; true when all went well.
    bool save();

signals:
    // Files were written: the window reads the folder again.
    void saved();

protected:
    void done(int result) override;

private:
    void buildChoice(QFormLayout *form);
    void buildForm(QFormLayout *form);
    void fillPupils();
    void choose();
    void addTyped();
    void showChosen();
    void takeForm();

    AdaptationsDraft m_draft;
    WriteAdaptations m_write;
    QComboBox *m_who = nullptr;
    QLineEdit *m_login = nullptr;
    QLabel *m_loginProblem = nullptr;
    QCheckBox *m_own = nullptr;
    QComboBox *m_font = nullptr;
    QComboBox *m_size = nullptr;
    QComboBox *m_lineSpacing = nullptr;
    QComboBox *m_letters = nullptr;
    QComboBox *m_words = nullptr;
    QComboBox *m_background = nullptr;
    QCheckBox *m_ruler = nullptr;
    AdaptationsSample *m_sample = nullptr;
    bool m_showing = false;
};
