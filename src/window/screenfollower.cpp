#include "window/screenfollower.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

ScreenFollower::ScreenFollower(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void ScreenFollower::start()
{
    if (m_started || !m_window->windowHandle())
        return;
    m_started = true;
    m_window->windowHandle()->installEventFilter(this);
    connect(m_window->windowHandle(), &QWindow::screenChanged, this, &ScreenFollower::follow);
    m_watch = connect(m_window->screen(), &QScreen::availableGeometryChanged, this, &ScreenFollower::cover);
}

// Seen before the window paints what the expose asks for.
bool ScreenFollower::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && !m_exposed && m_window->windowHandle()->isExposed()) {
        m_exposed = true;
        emit roomChanged();
    }
    return QObject::eventFilter(watched, event);
}

void ScreenFollower::follow(QScreen *screen)
{
    disconnect(m_watch);
    m_watch = connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFollower::cover);
    cover();
}

void ScreenFollower::cover()
{
    // Decorated means managed: a window manager draws the frame.
    const bool managed = !m_window->windowHandle()->frameMargins().isNull();
    const QRect available = m_window->screen()->availableGeometry();
    if (!managed && m_window->geometry() != available)
        m_window->setGeometry(available);
    emit roomChanged();
}
