#include "teacher/adaptationmarks.h"

#include "teacher/pupilsmodel.h"

AdaptationMarks::AdaptationMarks(PupilsModel *pupils, QObject *parent)
    : QIdentityProxyModel(parent)
    , m_pupils(pupils)
{
    setSourceModel(pupils);
}

QString AdaptationMarks::mark()
{
    return QStringLiteral("(adaptations)");
}

void AdaptationMarks::setAdapted(const QSet<QString> &logins)
{
    if (logins == m_adapted)
        return;
    m_adapted = logins;
    if (rowCount() > 0)
        emit dataChanged(index(0, PupilsModel::Name), index(rowCount() - 1, PupilsModel::Name),
                         {Qt::DisplayRole, Qt::AccessibleTextRole});
}

QVariant AdaptationMarks::data(const QModelIndex &index, int role) const
{
    const QVariant shown = QIdentityProxyModel::data(index, role);
    if (m_adapted.isEmpty() || index.column() != PupilsModel::Name
        || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return shown;
    const ClassReport &report = m_pupils->report();
    const qsizetype row = m_pupils->reportRow(index.row());
    if (report.rowKind() != ReportRows::Pupils || row < 0 || row >= report.pupils().size()
        || !m_adapted.contains(report.pupils().at(row).name))
        return shown;
    return QStringLiteral("%1 %2").arg(shown.toString(), mark());
}
