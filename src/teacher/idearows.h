#pragma once

#include "exercisefile/exercisedraft.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// The editor's ideas: one row each, its text, the list of the passage's
// paragraphs to choose the one it is in, a button to take it away, and
// under it what is wrong with it; then "Ajouter une idée".
class IdeaRows : public QWidget
{
    Q_OBJECT

public:
    explicit IdeaRows(QWidget *parent = nullptr);

    void setIdeas(const QList<Idea> &ideas);
    // As typed: the text trimmed, the paragraph chosen (0 for none).
    QList<DraftIdea> ideas() const;
    // The passage's paragraphs, which each row's list names.
    void setParagraphs(const QStringList &paragraphs);
    // Each idea's faults beside it; those of no one idea under the rows.
    void setFaults(const QList<ExerciseFault> &faults);
    int count() const { return int(m_rows.size()); }
    QLineEdit *text(int row) const;
    QComboBox *paragraph(int row) const;
    void addRow();
    // Tab goes from `before` through the rows, then to "Ajouter une idée".
    void chainFocusAfter(QWidget *before);

signals:
    void changed();

private:
    struct Row
    {
        QWidget *box;
        QLabel *number;
        QLineEdit *text;
        QComboBox *paragraph;
        QPushButton *remove;
        QLabel *fault;
    };
    void fillList(QComboBox *list, int chosen) const;
    void removeRow(QWidget *box);
    void renumber();

    QList<Row> m_rows;
    QStringList m_paragraphs;
    QWidget *m_before = nullptr;
    QVBoxLayout *m_layout;
    QPushButton *m_add;
    QLabel *m_fault;
};
