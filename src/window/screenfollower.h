#pragma once

#include <QObject>

class QScreen;
class QWidget;

// Keeps a maximised window on its screen as the screen changes: a projector
// plugged in, another resolution, the window moved to another screen. A
// window manager resizes a maximised window itself; without one (a kiosk
// session) the window is made to cover the screen's new area here. Each
// change is reported, for the page to be laid out again.
class ScreenFollower : public QObject
{
    Q_OBJECT

public:
    explicit ScreenFollower(QWidget *window);

    // Once the window is shown: before, it has no screen of its own.
    void start();

signals:
    void screenChanged();

private:
    void follow(QScreen *screen);
    void cover();

    QWidget *m_window;
    bool m_started = false;
    QMetaObject::Connection m_watch;
};
