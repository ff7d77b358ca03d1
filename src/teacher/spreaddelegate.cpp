#include "teacher/spreaddelegate.h"

#include "teacher/ideasmodel.h"

#include <QPainter>

void SpreadDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const double share = index.data(IdeasModel::SpreadRole).toDouble();
    if (index.data(IdeasModel::ChoiceRole).isValid() && share > 0) {
        const bool expected = index.data(IdeasModel::ExpectedRole).toBool();
        QRect bar = option.rect.adjusted(2, 3, -2, -3);
        bar.setWidth(std::max(2, int(bar.width() * share)));
        painter->fillRect(bar, expected ? QColor(0xa5, 0xd6, 0xa7) : QColor(0xff, 0xcc, 0x80));
    }
    QStyledItemDelegate::paint(painter, option, index);
}
