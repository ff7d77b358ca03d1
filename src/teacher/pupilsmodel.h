#pragma once

#include "classroom/classreport.h"

#include <QAbstractTableModel>
#include <QList>

// The pupils' table of the teacher's window, one row per report row: the
// pupil, their attempts, each idea's answer at the last attempt with its
// mark as text (✓ ✗ –, coloured too; * for an answer no box lets in), the last and best scores, when the
// log last changed. Each column sorts by what it means (the score weakest
// first, the name in French order) through Qt::UserRole.
class PupilsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, Attempts, Idea1, Idea2, Idea3, Idea4, Score, Best, LastChanged, ColumnCount };
    static constexpr int SortRole = Qt::UserRole;

    explicit PupilsModel(QObject *parent = nullptr);

    void setReport(const ClassReport &report);
    const ClassReport &report() const { return m_report; }
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

// How the rows are sorted by `column` (-1: not sorted, as read), for the
// printed page: "trié par score, du plus faible au plus fort".
QString sortedByText(int column, Qt::SortOrder order, ReportRows rows);
