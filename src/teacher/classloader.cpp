#include "teacher/classloader.h"

#include "paths/paths.h"

ClassLoader::ClassLoader(QObject *parent)
    : QObject(parent)
{
    m_poll.setInterval(1000);
    connect(&m_poll, &QTimer::timeout, this, &ClassLoader::refresh);
    m_progress.setInterval(50);
    connect(&m_progress, &QTimer::timeout, this, [this] { emit progressed(m_done, m_total); });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &ClassLoader::refresh);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &ClassLoader::refresh);
}

ClassLoader::~ClassLoader()
{
    m_stop = true;
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
}

const ClassSources &ClassLoader::sources() const
{
    return m_sources;
}

void ClassLoader::open(const QStringList &paths, const LogNaming &naming)
{
    if (m_worker) {
        m_stop = true;
        m_worker->wait();
        delete m_worker;
        m_worker = nullptr;
    }
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_reading = std::make_shared<ClassReading>(paths, naming);
    m_again = false;
    m_poll.start();
    refresh();
}

void ClassLoader::stop()
{
    m_stop = true;
    m_poll.stop();
}

void ClassLoader::refresh()
{
    if (!m_reading)
        return;
    if (m_worker) {
        m_again = true; // once this reading ends
        return;
    }
    m_stop = false;
    m_done = 0;
    m_total = 0;
    const std::shared_ptr<ClassReading> reading = m_reading;
    m_worker = QThread::create([this, reading] {
        const ClassReading::Change change = reading->refresh([this](qint64 done, qint64 total) {
            m_done = done;
            m_total = total;
            return !m_stop;
        });
        m_changed = change != ClassReading::Change::None;
    });
    connect(m_worker, &QThread::finished, this, &ClassLoader::finished);
    m_progress.start();
    m_worker->start();
}

void ClassLoader::finished()
{
    m_progress.stop();
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_sources = m_reading->sources();
    watch();
    if (m_changed)
        emit loaded(m_reading->report(), m_reading->problems(), QDateTime::currentDateTime(), m_reading->stopped());
    else
        emit unchanged(QDateTime::currentDateTime());
    if (m_reading->stopped())
        m_poll.stop();
    else if (m_again)
        refresh();
    m_again = false;
}

// The folders and logs read, watched for changes the system tells of.
void ClassLoader::watch()
{
    if (!m_watching)
        return;
    QStringList wanted = m_reading->paths();
    for (const LogSource &log : m_sources.logs)
        wanted.append(displayPath(log.file.path));
    QStringList missing;
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    for (const QString &path : std::as_const(wanted))
        if (!watched.contains(path))
            missing.append(path);
    if (!missing.isEmpty())
        m_watcher.addPaths(missing);
}
