#pragma once

#include <QObject>

class QScreen;
class QWidget;

// Tells a maximised window when the room it has for its page may have
// changed: once it is first on the screen, at the size a window manager
// gave it (laying the page out before would be work thrown away), and
// whenever its screen changes: a projector plugged in, another resolution,
// the window moved to another screen. A window manager resizes a maximised
// window itself; without one (a kiosk session) the window is made to cover
// its screen's new area here.
class ScreenFollower : public QObject
{
    Q_OBJECT

public:
    explicit ScreenFollower(QWidget *window);

    // Once the window is shown: before, it has no screen of its own.
    void start();
    // Whether the window has been on the screen yet.
    bool exposed() const { return m_exposed; }

signals:
    void roomChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QScreen *screen);
    void cover();

    QWidget *m_window;
    bool m_started = false;
    bool m_exposed = false;
    QMetaObject::Connection m_watch;
};
