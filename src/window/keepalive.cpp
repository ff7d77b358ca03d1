#include "window/keepalive.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <thread>

void runKeepingWindowsAlive(const std::function<void()> &job)
{
    QEventLoop loop;
    bool cursorShown = false;
    // An append takes a few milliseconds: no cursor flicker for that.
    QTimer slow;
    slow.setSingleShot(true);
    QObject::connect(&slow, &QTimer::timeout, &loop, [&cursorShown] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        cursorShown = true;
    });
    slow.start(200);
    std::thread worker([&job, &loop] {
        job();
        // Posted, so that a job done before the loop starts still ends it.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (cursorShown)
        QApplication::restoreOverrideCursor();
}
