// How late the teacher's window answers while it works: a 10 ms timer on
// the window's thread, and the worst lateness of its ticks during each long
// task on a big class: the first reading, the export of the table, the
// export of every attempt, and the collect while a pupil holds the lock on
// their own log (the writer's lock, for LOCK_SECONDS).
//
//   windowlatenessbench FOLDER [SIZE_MB [LOCK_SECONDS]]
//
// FOLDER gets a class folder of about SIZE_MB megabytes (60 by default):
// 30 pupils' logs, one of them this account's, the one the collect moves.

#include "app/applicationsetup.h"
#include "biglog.h"
#include "paths/paths.h"
#include "teacher/classwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <sys/file.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

// The worst lateness of the ticks, and how many there were, since start().
class Lateness
{
public:
    Lateness()
    {
        m_tick.setInterval(10);
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_worst = std::max(m_worst, m_since.restart() - 10);
            ++m_ticks;
        });
    }
    void start()
    {
        m_worst = 0;
        m_ticks = 0;
        m_clock.start();
        m_since.start();
        m_tick.start();
    }
    void report(const char *task) const
    {
        // A thread held until now never ticked: the wait since the last tick counts too.
        const qint64 worst = std::max(m_worst, m_since.elapsed() - 10);
        std::printf("| %s | %.2f s | %lld | %lld ms |\n", task, m_clock.nsecsElapsed() / 1e9,
                    static_cast<long long>(m_ticks), static_cast<long long>(std::max<qint64>(0, worst)));
        std::fflush(stdout);
    }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    QElapsedTimer m_since;
    qint64 m_worst = 0;
    qint64 m_ticks = 0;
};

bool writeClass(const QString &folder, qint64 bytes)
{
    constexpr int pupils = 30;
    if (!QDir().mkpath(folder))
        return false;
    for (int pupil = 0; pupil < pupils; ++pupil) {
        const QString name = pupil == 0 ? loginName() : QStringLiteral("eleve%1").arg(pupil, 2, 10, QLatin1Char('0'));
        if (!writeBigLog(QStringLiteral("%1/%2.txt").arg(folder, name), bytes / pupils))
            return false;
    }
    return true;
}

// Runs `task` on the window, then its event loop until the job it started
// has ended, ticks counted.
void measure(const char *name, Lateness &lateness, ClassWindow &window, const std::function<void()> &task)
{
    QEventLoop loop;
    const QMetaObject::Connection done = QObject::connect(&window.job(), &BackgroundJob::ended, &loop, &QEventLoop::quit);
    lateness.start();
    task();
    if (window.job().busy())
        loop.exec();
    QObject::disconnect(done);
    lateness.report(name);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: windowlatenessbench FOLDER [SIZE_MB [LOCK_SECONDS]]\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const qint64 megabytes = argc > 2 ? std::atoll(argv[2]) : 60;
    const int lockSeconds = argc > 3 ? std::atoi(argv[3]) : 3;
    const QString folder = root + QStringLiteral("/classe");
    if (!writeClass(folder, megabytes * 1000 * 1000))
        return 1;
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    setUpApplication();
    ClassWindowContext context{{folder}, LogNaming{}, false, PupilLogs{localPath(folder), {}, QStringLiteral(".txt")}};
    Lateness lateness;
    std::printf("The teacher's window on a class of %lld MB (30 logs): a 10 ms timer on its thread\n\n"
                "| task | took | ticks | worst lateness |\n|---|---|---|---|\n",
                static_cast<long long>(megabytes));
    std::unique_ptr<ClassWindow> window;
    QEventLoop first;
    lateness.start();
    window = std::make_unique<ClassWindow>(context);
    QObject::connect(&window->loader(), &ClassLoader::loaded, &first, &QEventLoop::quit);
    window->show();
    first.exec();
    lateness.report("first reading");

    measure("export of the table", lateness, *window,
            [&] { window->startExport(ExportKind::ClassTable, root + QStringLiteral("/tableau.csv")); });
    measure("export of every attempt", lateness, *window,
            [&] { window->startExport(ExportKind::Attempts, root + QStringLiteral("/essais.csv")); });

    // A pupil's program holds the writers' lock on their log meanwhile.
    const QByteArray held = QFile::encodeName(QStringLiteral("%1/%2.txt").arg(folder, loginName()));
    const int fd = ::open(held.constData(), O_RDONLY);
    if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
        return 1;
    std::thread holder([fd, lockSeconds] {
        std::this_thread::sleep_for(std::chrono::seconds(lockSeconds));
        ::flock(fd, LOCK_UN);
        ::close(fd);
    });
    const QString label = QStringLiteral("collect, a log locked %1 s").arg(lockSeconds);
    measure(label.toUtf8().constData(), lateness, *window,
            [&] { window->startCollect(root + QStringLiteral("/recueil")); });
    holder.join();
    std::fflush(nullptr);
    std::_Exit(0);
}
