#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

// One long task of the teacher's window (an export, a collect) run on a
// thread of its own, so that the window keeps answering: it reports how far
// it is, can be asked to stop, and hands its end back to the window's
// thread. One at a time.
class BackgroundJob : public QObject
{
    Q_OBJECT

public:
    // Given to the work: tells how far it is (done, of total) and returns
    // false once asked to stop.
    using Progress = std::function<bool(qint64, qint64)>;

    explicit BackgroundJob(QObject *parent = nullptr);
    // Asks the work under way to stop and waits for it.
    ~BackgroundJob() override;

    // Runs `work` off this thread, then `then` on it. False, doing nothing,
    // while another runs.
    bool start(const QString &what, std::function<void(const Progress &)> work, std::function<void()> then);
    void cancel();
    bool busy() const { return m_thread != nullptr; }
    // What runs, in French ("Export…"), for the progress line.
    QString what() const { return m_what; }

signals:
    void started();
    void progressed(qint64 done, qint64 total);
    void ended();

private:
    struct Shared
    {
        std::atomic<bool> stop = false;
        std::atomic<qint64> done = 0;
        std::atomic<qint64> total = 0;
    };
    void finished();

    std::shared_ptr<Shared> m_shared;
    QPointer<QThread> m_thread;
    std::function<void()> m_then;
    QString m_what;
    QTimer m_progress;
};
