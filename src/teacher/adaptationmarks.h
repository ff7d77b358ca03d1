#pragma once

#include <QIdentityProxyModel>
#include <QSet>
#include <QString>

class PupilsModel;

// The pupils' table with the pupils whose reading adaptations are set now
// marked in the name's cell, as text a screen reader reads too:
// "lea (adaptations)". Rows and columns are the pupils model's, one for
// one, so that what maps through it keeps its row. Nothing printed or
// exported goes through it: the marks stay on the teacher's screen.
class AdaptationMarks : public QIdentityProxyModel
{
    Q_OBJECT

public:
    explicit AdaptationMarks(PupilsModel *pupils, QObject *parent = nullptr);

    void setAdapted(const QSet<QString> &logins);
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    static QString mark();

private:
    PupilsModel *m_pupils;
    QSet<QString> m_adapted;
};
