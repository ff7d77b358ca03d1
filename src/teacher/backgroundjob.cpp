#include "teacher/backgroundjob.h"

BackgroundJob::BackgroundJob(QObject *parent)
    : QObject(parent)
{
    m_progress.setInterval(50);
    connect(&m_progress, &QTimer::timeout, this, [this] {
        if (m_shared)
            emit progressed(m_shared->done, m_shared->total);
    });
}

BackgroundJob::~BackgroundJob()
{
    if (m_thread) {
        m_shared->stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool BackgroundJob::start(const QString &what, std::function<void(const Progress &)> work, std::function<void()> then)
{
    if (m_thread)
        return false;
    m_shared = std::make_shared<Shared>();
    m_what = what;
    m_then = std::move(then);
    // The work holds what it shares with this object, never this object:
    // the thread may end after a new job began.
    m_thread = QThread::create([shared = m_shared, work = std::move(work)] {
        work([shared](qint64 done, qint64 total) {
            shared->done = done;
            shared->total = total;
            return !shared->stop;
        });
    });
    // The thread deletes itself once it has ended; its end reaches this
    // object through the queue, never from a slot its own signals reach.
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, this, &BackgroundJob::finished);
    m_progress.start();
    m_thread->start();
    emit started();
    return true;
}

void BackgroundJob::cancel()
{
    if (m_shared)
        m_shared->stop = true;
}

void BackgroundJob::finished()
{
    m_progress.stop();
    m_thread = nullptr;
    const std::function<void()> then = std::move(m_then);
    m_then = nullptr;
    emit ended();
    if (then)
        then();
}
