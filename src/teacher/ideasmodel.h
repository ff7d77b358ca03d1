#pragma once

#include "classroom/classreport.h"

#include <QAbstractTableModel>
#include <optional>

// The ideas' table of the teacher's window: each idea's prompt, its
// paragraph, how many rows are right at their last attempt, and how the
// answers spread (each paragraph, none, other), as numbers a screen reader
// reads; SpreadRole gives a count's share of the rows, for the bars.
class IdeasModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Idea, Prompt, Expected, Right, Chose1, Chose2, Chose3, Chose4, Blank, Other, ColumnCount };
    static constexpr int SpreadRole = Qt::UserRole + 1;   // double, 0 to 1
    static constexpr int ExpectedRole = Qt::UserRole + 2; // bool: the right paragraph's count

    explicit IdeasModel(QObject *parent = nullptr);
    void setReport(const ClassReport &report);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The choice a count's cell stands for; nothing for other cells.
    static std::optional<AnswerChoice> choiceAt(const QModelIndex &index);

private:
    QList<QuestionSummary> m_questions;
};

// "le paragraphe 2", "sans réponse", "une autre réponse".
QString choiceName(AnswerChoice choice);
