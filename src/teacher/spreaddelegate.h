#pragma once

#include <QStyledItemDelegate>

// Draws each count of the ideas' table over a bar as long as its share of
// the class: the right paragraph's in green, the others in orange. The
// number stays the cell's text, for a screen reader and in black and white.
class SpreadDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
