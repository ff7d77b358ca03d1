#pragma once

#include "classroom/classreading.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

// Reads a class in the background and keeps reading it while pupils write:
// on each change the system notifies and, where notifications do not come
// (a network folder), every second. The window stays responsive however
// big the logs; a reading can be stopped.
class ClassLoader : public QObject
{
    Q_OBJECT

public:
    explicit ClassLoader(QObject *parent = nullptr);
    ~ClassLoader() override;

    void open(const QStringList &paths, const LogNaming &naming);
    // Stops the reading under way; the window then shows what was read,
    // and nothing more is read until a class is opened again.
    void stop();
    bool busy() const { return m_worker != nullptr; }
    const ClassSources &sources() const;
    // How often the class is looked at again, in milliseconds.
    void setPollInterval(int milliseconds) { m_poll.setInterval(milliseconds); }
    // Whether to ask the system to tell of changes too (a network folder
    // never does: the poll alone then finds them).
    void setWatching(bool watching) { m_watching = watching; }

signals:
    void progressed(qint64 done, qint64 total);
    // A reading found something new (or the first reading ended).
    void loaded(const ClassReport &report, const QStringList &problems, const QDateTime &readAt, bool stopped);
    // A reading found nothing new.
    void unchanged(const QDateTime &readAt);

private:
    void refresh();
    void finished();
    void watch();

    std::shared_ptr<ClassReading> m_reading;
    ClassSources m_sources; // as last read, for the window's thread
    QThread *m_worker = nullptr;
    bool m_again = false;
    bool m_watching = true;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_changed = false;
    std::atomic<qint64> m_done = 0;
    std::atomic<qint64> m_total = 0;
    QTimer m_poll;
    QTimer m_progress;
    QFileSystemWatcher m_watcher;
};
