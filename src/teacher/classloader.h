#pragma once

#include "classroom/classreading.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <memory>

// Reads a class in the background and keeps reading it while pupils write:
// when the system tells of a change in its folders or logs, and, only for
// those it cannot tell of (a network folder), by looking again every
// max(5 s, 20 times what listing the class takes). The window stays
// responsive however big the logs. Each reading runs on a thread of its
// own, which deletes itself once ended; a class opened while another is
// being read stops the older reading and ignores what it finds. A reading
// stopped by the teacher stays stopped until asked to go on or another
// class is opened.
class ClassLoader : public QObject
{
    Q_OBJECT

public:
    explicit ClassLoader(QObject *parent = nullptr);
    ~ClassLoader() override;

    // `exercises`: where the exercises the records are read by are found.
    void open(const QStringList &paths, const LogNaming &naming, const ExerciseLookup &exercises = {});
    // Stops the reading under way; the window then shows what was read,
    // and nothing more is read until resume() or a class is opened again.
    void stop();
    // Goes on after stop(), from where the reading stopped.
    void resume();
    bool busy() const { return m_job != nullptr; }
    // Whether the teacher stopped the reading (and it was not resumed).
    bool stopped() const { return m_stopped; }
    // Whether the system tells of every change to the class (a local
    // folder), so that what is shown is the class as it is now, rather
    // than as it was at the last look (a network folder).
    bool toldOfChanges() const { return !m_polled; }
    const ClassSources &sources() const;
    // The least time between two looks at a class the system does not tell
    // of changes, in milliseconds (5 s unless set).
    void setPollInterval(int milliseconds) { m_leastPoll = milliseconds; }
    // Whether to ask the system to tell of changes (without, the class is
    // looked at again as a network folder is).
    void setWatching(bool watching) { m_watching = watching; }

signals:
    void progressed(qint64 done, qint64 total);
    // A reading found something new (or the first reading ended); `stopped`:
    // the teacher stopped it, and it may show only part of the class.
    // `problems` holds the paths and logs that could not be read;
    // `exerciseProblems` the exercise files left out.
    void loaded(const ClassResults &results, const QStringList &problems, const QStringList &exerciseProblems,
                const QDateTime &readAt, bool stopped);
    // A reading found nothing new.
    void unchanged(const QDateTime &readAt);

private:
    struct Job;
    void refresh();
    void changeNoticed();
    void finished(quint64 generation, const std::shared_ptr<Job> &job);
    void watch();

    std::shared_ptr<ClassReading> m_reading;
    quint64 m_generation = 0;       // of the class opened last
    std::shared_ptr<Job> m_job;     // its reading under way
    QList<QPointer<QThread>> m_threads; // not yet ended, older classes' included
    ClassSources m_sources;         // as last read, for the window's thread
    bool m_again = false;           // a change came during the reading
    bool m_stopped = false;
    bool m_resumed = false;         // the next reading is shown, new or not
    bool m_watching = true;
    bool m_polled = false;          // some of the class is out of the system's notice
    int m_leastPoll = 5000;
    QTimer m_poll;
    QTimer m_soon;
    QTimer m_progress;
    QFileSystemWatcher m_watcher;
};
