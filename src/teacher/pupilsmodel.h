#pragma once

#include "classroom/classreport.h"

#include <QAbstractTableModel>
#include <QList>

// The pupils' table of the teacher's window, one row per row of one
// exercise's report: the pupil, their attempts, each of its ideas' answer at
// the last attempt with its mark as text (✓ ✗ –, coloured too; * for an
// answer no box lets in), the last and best scores out of its ideas, when
// it was last tried. An exercise not known has no ideas' columns. Each
// column sorts by what it means (the score weakest first, the name in
// French order) through Qt::UserRole.
class PupilsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The first columns; the ideas' follow Idea1, then the score, the best
    // score and when it was last tried.
    enum Column { Name, Attempts, Idea1 };
    // What a column holds, whatever the exercise's ideas.
    enum class Meaning { Name, Attempts, Idea, Score, Best, LastChanged };
    static constexpr int SortRole = Qt::UserRole;

    explicit PupilsModel(QObject *parent = nullptr);

    void setReport(const ClassReport &report);
    const ClassReport &report() const { return m_report; }
    int ideaColumns() const { return m_report.outOf(); }
    int scoreColumn() const { return Idea1 + ideaColumns(); }
    int bestColumn() const { return scoreColumn() + 1; }
    int lastChangedColumn() const { return scoreColumn() + 2; }
    Meaning meaningOf(int column) const;
    // The column of `meaning` (of idea `idea`, from 0, for Meaning::Idea); -1 when there is none.
    int columnOf(Meaning meaning, int idea = 0) const;
    // The report's row shown at `modelRow`.
    qsizetype reportRow(int modelRow) const { return m_rows.value(modelRow, -1); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant display(const PupilSummary &row, int column) const;
    QVariant sortKey(qsizetype reportRow, int modelRow, int column) const;

    ClassReport m_report;
    // The report's row for each of the model's: pupils in French order,
    // attempts in their file's. Sorting on a column keeps that order among
    // equals.
    QList<qsizetype> m_rows;
};

// How the rows are sorted by `column` (-1: not sorted, as read) of
// `model`, for the printed page: "trié par score, du plus faible au plus fort".
QString sortedByText(const PupilsModel &model, int column, Qt::SortOrder order);
