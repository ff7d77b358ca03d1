#pragma once

#include "classroom/classnotices.h"

#include <QTreeWidget>

// The window's notices: a list of plain text, each notice a line (wrapped
// when long), a group's names under it on demand ("… (afficher)"). Never
// taller than a few lines, it scrolls beyond, so that the tables below keep
// their room however many files a folder holds. Hidden when empty.
class NoticesView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit NoticesView(QWidget *parent = nullptr);

    void setNotices(const QList<ClassNotice> &notices);
    // Each notice's line as shown, in order (for the tests and the page).
    QStringList lines() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The most lines it shows before it scrolls.
    static constexpr int visibleLines = 5;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void toggle(QTreeWidgetItem *item);
    void showGroupState(QTreeWidgetItem *item);
    void refit();

    QList<ClassNotice> m_notices;
    int m_height = 0;
};
