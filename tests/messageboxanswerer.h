#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Answers the modal message boxes a test provokes, from a timer, the way a
// person would: reads the box, then clicks a button. By default it clicks the
// only or the first button; a chooser may pick another by its text (and act
// first, say to remove the cause of an error).
class MessageBoxAnswerer : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
        QStringList buttons;
        bool hasIcon = false;
        bool modal = false;
        int width = 0;
        int fontPixels = 0;
    };
    using Chooser = std::function<QString(const Box &)>;

    explicit MessageBoxAnswerer(Chooser chooser = {})
        : m_chooser(std::move(chooser))
    {
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::answer);
        m_timer.start(10);
    }

    QList<Box> seen;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Box read{box->windowTitle(), box->text(), {}, box->icon() != QMessageBox::NoIcon,
                 box->isModal(), box->width(), QFontInfo(box->font()).pixelSize()};
        const QList<QAbstractButton *> buttons = box->buttons();
        for (const QAbstractButton *button : buttons) {
            read.buttons.append(button->text());
            if (!button->icon().isNull())
                read.hasIcon = true;
        }
        seen.append(read);
        const QString wanted = m_chooser ? m_chooser(read) : QString();
        for (QAbstractButton *button : buttons) {
            if (wanted.isEmpty() || button->text() == wanted) {
                button->click();
                return;
            }
        }
    }

    Chooser m_chooser;
    QTimer m_timer;
};
