#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QPushButton;

// The first page of the pupil's window when the teacher offers several
// exercises: "Choisis ton exercice" above one large button per title, in a
// scrollable column. The arrows and Tab move from title to title, Enter or
// Space or a click chooses. It covers its parent, the exercise's window,
// which then runs the chosen exercise in its place.
class ExerciseChooser : public QWidget
{
    Q_OBJECT

public:
    ExerciseChooser(const QStringList &titles, QWidget *parent);

    QPushButton *titleButton(int index) const { return m_buttons.value(index); }

signals:
    void chosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPushButton *> m_buttons;
};
