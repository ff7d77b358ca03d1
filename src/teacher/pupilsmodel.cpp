#include "teacher/pupilsmodel.h"

#include "classroom/reportcells.h"
#include "classroom/wording.h"

#include <QBrush>
#include <QColor>

#include <numeric>

PupilsModel::PupilsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void PupilsModel::setReport(const ClassReport &report)
{
    beginResetModel();
    m_report = report;
    m_rows.resize(report.rowCount());
    std::iota(m_rows.begin(), m_rows.end(), 0);
    if (report.rowKind() == ReportRows::Pupils) {
        const QCollator order = frenchOrder();
        const QList<PupilSummary> &pupils = report.pupils();
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [&](qsizetype a, qsizetype b) { return order(pupils[a].name, pupils[b].name); });
    }
    endResetModel();
}

int PupilsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_report.rowCount());
}

int PupilsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : lastChangedColumn() + 1;
}

PupilsModel::Meaning PupilsModel::meaningOf(int column) const
{
    if (column == Name || column == Attempts)
        return column == Name ? Meaning::Name : Meaning::Attempts;
    if (column < scoreColumn())
        return Meaning::Idea;
    return column == scoreColumn() ? Meaning::Score : column == bestColumn() ? Meaning::Best : Meaning::LastChanged;
}

int PupilsModel::columnOf(Meaning meaning, int idea) const
{
    switch (meaning) {
    case Meaning::Name:
        return Name;
    case Meaning::Attempts:
        return Attempts;
    case Meaning::Idea:
        return idea < ideaColumns() ? Idea1 + idea : -1;
    case Meaning::Score:
        return scoreColumn();
    case Meaning::Best:
        return bestColumn();
    case Meaning::LastChanged:
        return lastChangedColumn();
    }
    return -1;
}

QVariant PupilsModel::display(const PupilSummary &row, int column) const
{
    const bool any = row.attempts > 0;
    switch (meaningOf(column)) {
    case Meaning::Name:
        return nameCell(row);
    case Meaning::Attempts:
        return row.attempts;
    case Meaning::Idea:
        return any ? answerCell(row.last, std::size_t(column - Idea1)) : QString();
    case Meaning::Score:
        return any ? scoreCell(row.last.score(), m_report.outOf()) : QStringLiteral("–");
    case Meaning::Best:
        return any ? scoreCell(row.best, m_report.outOf()) : QStringLiteral("–");
    case Meaning::LastChanged:
        return lastChangedCell(row);
    }
    return {};
}

QVariant PupilsModel::sortKey(qsizetype reportRow, int modelRow, int column) const
{
    const int attempts = m_report.attemptsOf(reportRow);
    const Meaning meaning = meaningOf(column);
    if (meaning == Meaning::Name)
        return modelRow;
    if (meaning == Meaning::Attempts)
        return attempts;
    if (attempts == 0)
        return -1;
    const ReadRecord &last = m_report.lastOf(reportRow);
    switch (meaning) {
    case Meaning::Name:
    case Meaning::Attempts:
        break;
    case Meaning::Idea: {
        // Left empty, then wrong, then right; by the paragraph within each.
        const int question = column - Idea1;
        const QString answer = last.answers.value(question);
        return answer.isEmpty() ? 0
                                : (last.right[std::size_t(question)] ? 200 : 100)
                                      + int(answerChoiceOf(answer, m_report.paragraphCount()));
    }
    case Meaning::Score:
        return last.score();
    case Meaning::Best:
        return m_report.bestOf(reportRow);
    case Meaning::LastChanged: {
        const QDateTime changed = m_report.rowKind() == ReportRows::Pupils ? m_report.pupils().at(reportRow).lastChanged
                                                                            : QDateTime();
        return changed.isValid() ? changed.toMSecsSinceEpoch() : qint64(-1);
    }
    }
    return {};
}

QVariant PupilsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_report.rowCount())
        return {};
    if (role == SortRole)
        return sortKey(m_rows.at(index.row()), index.row(), index.column());
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::TextAlignmentRole
        && role != Qt::ForegroundRole)
        return {};
    const PupilSummary row = m_report.row(m_rows.at(index.row()));
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return display(row, index.column());
    if (role == Qt::TextAlignmentRole && index.column() != Name)
        return int(Qt::AlignCenter);
    const bool idea = meaningOf(index.column()) == Meaning::Idea;
    if (role == Qt::ForegroundRole && idea && row.attempts > 0) {
        const int question = index.column() - Idea1;
        if (row.last.answers.value(question).isEmpty())
            return QBrush(QColor(0x55, 0x55, 0x55));
        return QBrush(row.last.right[std::size_t(question)] ? QColor(0x1b, 0x6e, 0x20) : QColor(0xb0, 0x1c, 0x1c));
    }
    return {};
}

QVariant PupilsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    // Every column, the score too, sorts from the smallest first.
    if (role == Qt::InitialSortOrderRole)
        return int(Qt::AscendingOrder);
    if (role != Qt::DisplayRole)
        return {};
    return rowHeaders(m_report.rowKind(), ideaColumns()).value(section);
}

QString sortedByText(const PupilsModel &model, int column, Qt::SortOrder order)
{
    const ReportRows rows = model.report().rowKind();
    if (column < 0 || column >= model.columnCount())
        return rows == ReportRows::Attempts ? QStringLiteral("dans l'ordre du fichier")
                                            : QStringLiteral("par ordre alphabétique");
    const bool up = order == Qt::AscendingOrder;
    const QString least = up ? QStringLiteral("du plus faible au plus fort") : QStringLiteral("du plus fort au plus faible");
    using Meaning = PupilsModel::Meaning;
    switch (model.meaningOf(column)) {
    case Meaning::Name:
        if (rows == ReportRows::Attempts)
            return up ? QStringLiteral("dans l'ordre du fichier") : QStringLiteral("dans l'ordre inverse du fichier");
        return up ? QStringLiteral("par ordre alphabétique") : QStringLiteral("par ordre alphabétique inverse");
    case Meaning::Attempts:
        return QStringLiteral("trié par nombre d'essais, %1")
            .arg(up ? QStringLiteral("du plus petit au plus grand") : QStringLiteral("du plus grand au plus petit"));
    case Meaning::Idea:
        return QStringLiteral("trié par réponse à l'idée %1, %2")
            .arg(column - PupilsModel::Idea1 + 1)
            .arg(up ? QStringLiteral("sans réponse, puis fausse, puis juste")
                    : QStringLiteral("juste, puis fausse, puis sans réponse"));
    case Meaning::Score:
        return QStringLiteral("trié par score, %1").arg(least);
    case Meaning::Best:
        return QStringLiteral("trié par meilleur score, %1").arg(least);
    case Meaning::LastChanged:
        return QStringLiteral("trié par dernier essai, %1")
            .arg(up ? QStringLiteral("du plus ancien au plus récent") : QStringLiteral("du plus récent au plus ancien"));
    }
    return rows == ReportRows::Attempts ? QStringLiteral("dans l'ordre du fichier") : QStringLiteral("par ordre alphabétique");
}
