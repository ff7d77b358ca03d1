#include "classroom/wording.h"

#include <QLocale>

QString plural(qint64 count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count > 1 ? many : one);
}

QCollator frenchOrder()
{
    QCollator order(QLocale(QLocale::French, QLocale::France));
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    return order;
}
