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
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PupilsModel::display(const PupilSummary &row, int column) const
{
    const bool any = row.attempts > 0;
    switch (column) {
    case Name:
        return nameCell(row);
    case Attempts:
        return row.attempts;
    case Idea1:
    case Idea2:
    case Idea3:
    case Idea4:
        return any ? answerCell(row.last, std::size_t(column - Idea1)) : QString();
    case Score:
        return any ? scoreCell(row.last.score()) : QStringLiteral("–");
    case Best:
        return any ? scoreCell(row.best) : QStringLiteral("–");
    case LastChanged:
        return lastChangedCell(row);
    }
    return {};
}

QVariant PupilsModel::sortKey(qsizetype reportRow, int modelRow, int column) const
{
    const int attempts = m_report.attemptsOf(reportRow);
    if (column == Name)
        return modelRow;
    if (column == Attempts)
        return attempts;
    if (attempts == 0)
        return -1;
    const ReadRecord &last = m_report.lastOf(reportRow);
    switch (column) {
    case Idea1:
    case Idea2:
    case Idea3:
    case Idea4: {
        // Left empty, then wrong, then right; by the paragraph within each.
        const auto question = std::size_t(column - Idea1);
        const QString &answer = last.answers[question];
        return answer.isEmpty() ? 0 : (last.right[question] ? 200 : 100) + int(answerChoiceOf(answer));
    }
    case Score:
        return last.score();
    case Best:
        return m_report.bestOf(reportRow);
    case LastChanged: {
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
    const bool idea = index.column() >= Idea1 && index.column() <= Idea4;
    if (role == Qt::ForegroundRole && idea && row.attempts > 0) {
        const auto question = std::size_t(index.column() - Idea1);
        if (row.last.answers[question].isEmpty())
            return QBrush(QColor(0x55, 0x55, 0x55));
        return QBrush(row.last.right[question] ? QColor(0x1b, 0x6e, 0x20) : QColor(0xb0, 0x1c, 0x1c));
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
    return rowHeaders(m_report.rowKind()).value(section);
}

QString sortedByText(int column, Qt::SortOrder order, ReportRows rows)
{
    const bool up = order == Qt::AscendingOrder;
    const QString least = up ? QStringLiteral("du plus faible au plus fort") : QStringLiteral("du plus fort au plus faible");
    switch (column) {
    case PupilsModel::Name:
        if (rows == ReportRows::Attempts)
            return up ? QStringLiteral("dans l'ordre du fichier") : QStringLiteral("dans l'ordre inverse du fichier");
        return up ? QStringLiteral("par ordre alphabétique") : QStringLiteral("par ordre alphabétique inverse");
    case PupilsModel::Attempts:
        return QStringLiteral("trié par nombre d'essais, %1")
            .arg(up ? QStringLiteral("du plus petit au plus grand") : QStringLiteral("du plus grand au plus petit"));
    case PupilsModel::Idea1:
    case PupilsModel::Idea2:
    case PupilsModel::Idea3:
    case PupilsModel::Idea4:
        return QStringLiteral("trié par réponse à l'idée %1, %2")
            .arg(column - PupilsModel::Idea1 + 1)
            .arg(up ? QStringLiteral("sans réponse, puis fausse, puis juste")
                    : QStringLiteral("juste, puis fausse, puis sans réponse"));
    case PupilsModel::Score:
        return QStringLiteral("trié par score, %1").arg(least);
    case PupilsModel::Best:
        return QStringLiteral("trié par meilleur score, %1").arg(least);
    case PupilsModel::LastChanged:
        return QStringLiteral("trié par dernier essai, %1")
            .arg(up ? QStringLiteral("du plus ancien au plus récent") : QStringLiteral("du plus récent au plus ancien"));
    }
    return rows == ReportRows::Attempts ? QStringLiteral("dans l'ordre du fichier") : QStringLiteral("par ordre alphabétique");
}
