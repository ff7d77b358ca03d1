#include "teacher/classloader.h"

#include "logfile/filesystem.h"
#include "paths/paths.h"

#include <QSet>

#include <atomic>
#include <utility>

// What a reading's thread shares with the window's: nothing else.
struct ClassLoader::Job
{
    std::shared_ptr<ClassReading> reading;
    std::atomic<bool> stop = false;
    std::atomic<qint64> done = 0;
    std::atomic<qint64> total = 0;
    ClassReading::Change change = ClassReading::Change::None; // once ended
};

ClassLoader::ClassLoader(QObject *parent)
    : QObject(parent)
{
    m_poll.setSingleShot(true);
    connect(&m_poll, &QTimer::timeout, this, &ClassLoader::refresh);
    m_soon.setSingleShot(true);
    connect(&m_soon, &QTimer::timeout, this, &ClassLoader::refresh);
    m_progress.setInterval(50);
    connect(&m_progress, &QTimer::timeout, this, [this] {
        if (m_job)
            emit progressed(m_job->done, m_job->total);
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ClassLoader::changeNoticed);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &ClassLoader::changeNoticed);
}

ClassLoader::~ClassLoader()
{
    if (m_job)
        m_job->stop = true;
    // Each reading sees its stop at its next block; its queued signals die
    // with the thread and this object.
    for (const QPointer<QThread> &thread : std::as_const(m_threads)) {
        if (thread) {
            thread->wait();
            delete thread.data();
        }
    }
}

const ClassSources &ClassLoader::sources() const
{
    return m_sources;
}

void ClassLoader::open(const QStringList &paths, const LogNaming &naming, const ExerciseLookup &exercises)
{
    if (m_job)
        m_job->stop = true; // its thread ends by itself; what it read is ignored
    m_job.reset();
    ++m_generation;
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_reading = std::make_shared<ClassReading>(paths, naming, exercises);
    m_sources = {};
    m_again = false;
    m_stopped = false;
    m_resumed = false;
    m_poll.stop();
    m_soon.stop();
    refresh();
}

void ClassLoader::stop()
{
    if (!m_job)
        return; // nothing under way
    m_stopped = true;
    m_job->stop = true;
    m_poll.stop();
    m_soon.stop();
}

void ClassLoader::resume()
{
    if (!m_stopped)
        return;
    m_stopped = false;
    m_resumed = true;
    refresh();
}

void ClassLoader::changeNoticed()
{
    // Changes come in bursts (a record, a flood of files): one look for
    // many, and never more than a fraction of the time spent looking.
    if (m_job) {
        m_again = true;
        return;
    }
    if (!m_soon.isActive() && !m_stopped)
        m_soon.start(std::max<qint64>(100, 4 * (m_reading ? m_reading->listingTime() : 0)));
}

void ClassLoader::refresh()
{
    if (!m_reading || m_stopped)
        return;
    if (m_job) {
        m_again = true; // once this reading ends
        return;
    }
    m_poll.stop();
    m_soon.stop();
    auto job = std::make_shared<Job>();
    job->reading = m_reading;
    m_job = job;
    QThread *thread = QThread::create([job] {
        job->change = job->reading->refresh([&job = *job](qint64 done, qint64 total) {
            job.done = done;
            job.total = total;
            return !job.stop;
        });
    });
    connect(thread, &QThread::finished, this, [this, job, generation = m_generation] { finished(generation, job); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_threads.removeAll(nullptr);
    m_threads.append(thread);
    m_progress.start();
    thread->start();
}

void ClassLoader::finished(quint64 generation, const std::shared_ptr<Job> &job)
{
    if (generation != m_generation || job != m_job)
        return; // an older class's reading, or one given up on
    m_job.reset();
    m_progress.stop();
    m_sources = m_reading->sources();
    watch();
    const QDateTime readAt = QDateTime::currentDateTime();
    if (job->change != ClassReading::Change::None || std::exchange(m_resumed, false))
        emit loaded(m_reading->results(), m_reading->problems(), m_reading->exerciseProblems(), readAt, m_stopped);
    else
        emit unchanged(readAt);
    if (m_stopped)
        return;
    if (m_again) {
        m_again = false;
        refresh();
    } else if (m_polled) {
        m_poll.start(std::max<qint64>(m_leastPoll, 20 * m_reading->listingTime()));
    }
}

// The folders and logs read: watched where the system tells of changes,
// looked at again otherwise.
void ClassLoader::watch()
{
    QStringList wanted = m_reading->paths();
    for (const LogSource &log : std::as_const(m_sources.logs))
        wanted.append(displayPath(log.file.path));
    const QStringList watchedList = m_watcher.files() + m_watcher.directories();
    const QSet<QString> watched(watchedList.cbegin(), watchedList.cend());
    QStringList missing;
    m_polled = !m_watching;
    for (const QString &path : std::as_const(wanted)) {
        if (watched.contains(path))
            continue;
        // A network folder's changes made elsewhere are never told.
        if (!m_watching || logfile::onNetworkFileSystem(localPath(path)))
            m_polled = true;
        else
            missing.append(path);
    }
    // A path that cannot be watched (gone, or the system's limit reached) is looked at again.
    if (!missing.isEmpty() && !m_watcher.addPaths(missing).isEmpty())
        m_polled = true;
}
