#include "teacher/pupilsmodel.h"

#include "classroom/wording.h"

#include <QBrush>
#include <QColor>
#include <QLocale>

#include <numeric>

namespace {

QString scoreText(int score)
{
    return QStringLiteral("%1/4").arg(score);
}

} // namespace

QString answerCell(const ReadRecord &record, std::size_t question)
{
    if (record.answers[question].isEmpty())
        return QStringLiteral("–");
    return shownAnswer(record.answers[question]) + (record.right[question] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"));
}

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
        return row.ownerUnverified ? QStringLiteral("%1 (%2)").arg(row.name, QString::fromUtf8(ownerUnverifiedNote))
                                   : row.name;
    case Attempts:
        return row.attempts;
    case Idea1:
    case Idea2:
    case Idea3:
    case Idea4:
        return any ? answerCell(row.last, std::size_t(column - Idea1)) : QString();
    case Score:
        return any ? scoreText(row.last.score()) : QStringLiteral("–");
    case Best:
        return any ? scoreText(row.best) : QStringLiteral("–");
    case LastChanged:
        return row.lastChanged.isValid()
                   ? QLocale(QLocale::French, QLocale::France).toString(row.lastChanged.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                   : QStringLiteral("–");
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
    static const QStringList headers{QStringLiteral("élève"),  QStringLiteral("essais"), QStringLiteral("idée 1"),
                                     QStringLiteral("idée 2"), QStringLiteral("idée 3"), QStringLiteral("idée 4"),
                                     QStringLiteral("score"),  QStringLiteral("meilleur"),
                                     QStringLiteral("dernier essai")};
    return headers.value(section);
}
