#pragma once

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

#include <cstdio>
#include <cstdlib>

// The benchmarks' "ready to type": the process ends the moment a frame of
// the window has been painted while one of its text boxes has the keyboard
// focus. Ending with _Exit keeps teardown out of what is measured. The same
// probe serves the exercise and the reference program.
class ExitWhenReady : public QObject
{
public:
    explicit ExitWhenReady(QWidget *window)
        : m_window(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == m_window) {
            // Painting is followed by the flush to the screen in the same
            // update; look once it is done.
            QMetaObject::invokeMethod(this, &ExitWhenReady::exitIfReady, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void exitIfReady()
    {
        const QWidget *focus = QApplication::focusWidget();
        if (qobject_cast<const QLineEdit *>(focus) && focus->window() == m_window) {
            std::fflush(nullptr);
            std::_Exit(0);
        }
    }

    QWidget *m_window;
};
