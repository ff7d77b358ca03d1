#include "teacher/noticesview.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

constexpr int textRole = Qt::UserRole; // a group's line without "(afficher)"

// Measures a wrapped line in the room it has: its column less the indent
// before it, which the tree's own measure leaves out, so that a long
// notice gets the lines it needs instead of an ellipsis.
class IndentedLines : public QStyledItemDelegate
{
public:
    explicit IndentedLines(QTreeView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        int depth = 1;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            ++depth;
        const int margin = 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1);
        const int width = std::max(1, m_view->header()->sectionSize(0) - depth * m_view->indentation() - margin);
        const QRect lines = option.fontMetrics.boundingRect(QRect(0, 0, width, 0), Qt::AlignLeft | Qt::TextWordWrap,
                                                            index.data().toString());
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), lines.height() + 4));
        return size;
    }

private:
    QTreeView *m_view;
};

} // namespace

NoticesView::NoticesView(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("notices"));
    setAccessibleName(QStringLiteral("Avertissements"));
    setHeaderHidden(true);
    setColumnCount(1);
    setWordWrap(true);
    setItemDelegate(new IndentedLines(this));
    setUniformRowHeights(false);
    setTextElideMode(Qt::ElideNone);
    setExpandsOnDoubleClick(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(true);
    // A click opens a group; so do Enter and, where the style activates
    // on a single click, that click, but only once.
    if (!style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, this))
        connect(this, &QTreeWidget::itemClicked, this, &NoticesView::toggle);
    connect(this, &QTreeWidget::itemActivated, this, &NoticesView::toggle);
    connect(this, &QTreeWidget::itemExpanded, this, &NoticesView::showGroupState);
    connect(this, &QTreeWidget::itemCollapsed, this, &NoticesView::showGroupState);
    hide();
}

void NoticesView::setNotices(const QList<ClassNotice> &notices)
{
    if (notices.size() == m_notices.size()
        && std::equal(notices.cbegin(), notices.cend(), m_notices.cbegin(), [](const auto &a, const auto &b) {
               return a.text == b.text && a.items == b.items;
           }))
        return; // a refresh that changed nothing keeps what the teacher opened
    m_notices = notices;
    clear();
    // In the colour of a warning; a style sheet would keep the window's zoom out.
    const QBrush warning(QColor(0x8a, 0x4b, 0x00));
    for (const ClassNotice &notice : notices) {
        auto *item = new QTreeWidgetItem(this);
        item->setData(0, textRole, notice.text);
        item->setForeground(0, warning);
        for (const QString &name : notice.items)
            (new QTreeWidgetItem(item, {name}))->setForeground(0, warning);
        showGroupState(item);
    }
    setVisible(!notices.isEmpty());
    refit();
}

QStringList NoticesView::lines() const
{
    QStringList lines;
    for (int i = 0; i < topLevelItemCount(); ++i)
        lines.append(topLevelItem(i)->text(0));
    return lines;
}

void NoticesView::toggle(QTreeWidgetItem *item)
{
    if (item && item->childCount() > 0)
        item->setExpanded(!item->isExpanded());
}

void NoticesView::showGroupState(QTreeWidgetItem *item)
{
    const QString text = item->data(0, textRole).toString();
    if (item->childCount() == 0) {
        item->setText(0, text);
        return;
    }
    item->setText(0, text + (item->isExpanded() ? QStringLiteral(" (masquer)") : QStringLiteral(" (afficher)")));
    refit();
}

// As tall as its lines, up to `visibleLines` of them.
void NoticesView::refit()
{
    int height = 0;
    int lines = 0;
    for (QModelIndex index = model()->index(0, 0); index.isValid() && lines < visibleLines;
         index = indexBelow(index), ++lines)
        height += indexRowSizeHint(index);
    const int lineHeight = fontMetrics().height();
    height = std::min(std::max(height, lineHeight), visibleLines * (lineHeight + 4));
    height += 2 * frameWidth();
    if (height != m_height) {
        m_height = height;
        updateGeometry();
    }
}

QSize NoticesView::sizeHint() const
{
    return {QTreeWidget::sizeHint().width(), m_height};
}

QSize NoticesView::minimumSizeHint() const
{
    return sizeHint();
}

void NoticesView::changeEvent(QEvent *event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        scheduleDelayedItemsLayout();
        refit();
    }
}

void NoticesView::resizeEvent(QResizeEvent *event)
{
    QTreeWidget::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) {
        scheduleDelayedItemsLayout(); // wrapped lines take another height
        refit();
    }
}
