#pragma once

#include "classroom/classreport.h"

#include <QAbstractTableModel>
#include <optional>

// The ideas' table of the teacher's window, of one exercise: each idea's
// prompt, its paragraph, how many rows are right at their last attempt,
// and how the answers spread (each of its paragraphs, none, other), as
// numbers a screen reader reads; SpreadRole gives a count's share of the
// rows, for the bars, and ChoiceRole the answer a count stands for.
class IdeasModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The first columns; each choice of answerChoices() follows Chose1.
    enum Column { Idea, Prompt, Expected, Right, Chose1 };
    static constexpr int SpreadRole = Qt::UserRole + 1;   // double, 0 to 1
    static constexpr int ExpectedRole = Qt::UserRole + 2; // bool: the right paragraph's count
    static constexpr int ChoiceRole = Qt::UserRole + 3;   // int(AnswerChoice); nothing for other cells

    explicit IdeasModel(QObject *parent = nullptr);
    void setReport(const ClassReport &report);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The choice a count's cell stands for; nothing for other cells.
    static std::optional<AnswerChoice> choiceAt(const QModelIndex &index);
    // The column of `choice`.
    int columnOf(AnswerChoice choice) const;

private:
    std::optional<AnswerChoice> choiceOf(int column) const;

    QList<QuestionSummary> m_questions;
    QList<AnswerChoice> m_choices;
};

// "le paragraphe 2", "sans réponse", "une autre réponse".
QString choiceName(AnswerChoice choice);
