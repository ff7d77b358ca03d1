#include "window/messagebox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>

namespace {

// QMessageBox sizes itself from its layout: a spacer across its last row
// holds it open to the title's width.
void makeRoomForTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const int margins = grid->contentsMargins().left() + grid->contentsMargins().right();
    grid->addItem(new QSpacerItem(titleRoom(box.windowTitle()) - margins, 0, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

int titleRoom(const QString &title)
{
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(bold).horizontalAdvance(title) + 7 * titleBar;
}

void showMessageBox(QWidget *parent, const QString &text, const QString &title, const std::optional<QFont> &font)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    if (font)
        box.setFont(*font);
    box.setTextFormat(Qt::PlainText);
    // Some styles put a picture on the OK button; these boxes carry none.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    makeRoomForTitle(box);
    box.exec();
}

bool askToRetryBox(QWidget *parent, const QString &text, const std::optional<QFont> &font)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("morvel2"), text, QMessageBox::NoButton, parent);
    if (font)
        box.setFont(*font);
    box.setTextFormat(Qt::PlainText);
    QPushButton *retry = box.addButton(QStringLiteral("Réessayer"), QMessageBox::AcceptRole);
    QPushButton *giveUp = box.addButton(QStringLiteral("Abandonner"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(giveUp);
    makeRoomForTitle(box);
    box.exec();
    return box.clickedButton() == retry;
}
