// A classmate floods the class folder, and one pupil writes far more than a
// pupil types. Prints, for the teacher's window's reading (ClassLoader) and
// for the whole window:
//  - on a folder of 100 000 entries, how long the first reading took, the
//    CPU taken over SECONDS of nothing changing (the loader also as on a
//    network folder, where it looks again rather than being told), and
//    the memory;
//  - on a log of 300 records whose answers are 260 000 characters long
//    (312 MB), the peak memory (the high-water mark of its resident memory)
//    of reading it, then reading it again, and of `morvel2 --bilan` on it.
// Each is measured in a process of its own, which this program starts.
//
//   floodbench FOLDER MORVEL2 [SECONDS]

#include "app/applicationsetup.h"
#include "record/record.h"
#include "teacher/classloader.h"
#include "app/classwindowmain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

bool writeFlood(const QString &folder, int entries)
{
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < entries; ++i) {
        QFile entry(QStringLiteral("%1/z%2").arg(folder).arg(i, 6, 10, QLatin1Char('0')));
        if (!entry.open(QIODevice::WriteOnly))
            return false;
    }
    const QStringList pupils{"ana", "léo", "zoé"};
    for (const QString &pupil : pupils) {
        QFile log(QStringLiteral("%1/%2.txt").arg(folder, pupil));
        if (!log.open(QIODevice::WriteOnly) || log.write(recordLine(recordFieldsFor({"3", "4", "1", "2"}))) < 0)
            return false;
    }
    return true;
}

// 300 records, each answer 260 000 characters, each record different.
bool writeLongAnswers(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile log(folder + QStringLiteral("/zoé.txt"));
    if (!log.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < 300; ++i) {
        QStringList answers;
        for (int row = 0; row < 4; ++row)
            answers.append(QString(260000 - 6, QChar(u'a' + (i + row) % 26)) + QStringLiteral("%1").arg(i, 6));
        if (log.write(recordLine(recordFieldsFor(answers))) < 0)
            return false;
    }
    return true;
}

// Runs this program (or another) and returns its peak resident memory in
// MiB, or -1 when it failed.
double runChild(const std::vector<std::string> &arguments, bool quiet = false)
{
    std::fflush(nullptr); // or the child prints it again
    const pid_t pid = fork();
    if (pid == 0) {
        if (quiet) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
        }
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    rusage usage{};
    int status = 0;
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return -1;
    return usage.ru_maxrss / 1024.0;
}

// Opens the class in the loader alone or the window; then, once read, as
// asked: reads it again, or stays idle for `seconds` and prints the CPU taken.
int measure(const QString &mode, const QString &path, int seconds)
{
    const bool window = mode.endsWith(QStringLiteral("window"));
    std::unique_ptr<ClassWindow> classWindow;
    ClassLoader ownLoader;
    ClassLoader *loader = &ownLoader;
    ownLoader.setWatching(!mode.endsWith(QStringLiteral("polled")));
    QElapsedTimer firstReading;
    firstReading.start();
    qint64 firstReadingMs = 0;
    if (window) {
        classWindow = std::make_unique<ClassWindow>(classWindowContext({path}, LogLocation{}));
        loader = &classWindow->loader();
        classWindow->show();
    } else {
        ownLoader.open({path}, LogNaming{});
    }
    int readings = 0;
    QObject::connect(loader, &ClassLoader::loaded, [&] {
        if (readings == 0)
            firstReadingMs = firstReading.elapsed();
        if (++readings > 1 || mode.startsWith(QStringLiteral("idle")))
            return;
        // Read again as when the teacher opens the class anew.
        if (window)
            classWindow->openPaths({path});
        else
            loader->open({path}, LogNaming{});
    });
    QTimer waitForRead;
    waitForRead.setInterval(20);
    const int wanted = mode.startsWith(QStringLiteral("idle")) ? 1 : 2;
    double cpuBefore = 0;
    QElapsedTimer clock;
    QObject::connect(&waitForRead, &QTimer::timeout, [&] {
        if (readings < wanted)
            return;
        waitForRead.stop();
        if (wanted == 2) {
            QApplication::exit(0);
            return;
        }
        // A moment for the window to settle, then the idle time measured.
        QTimer::singleShot(2000, [&] {
            cpuBefore = cpuSeconds();
            clock.start();
            QTimer::singleShot(seconds * 1000, [&] {
                const double cpu = cpuSeconds() - cpuBefore;
                const double wall = clock.elapsed() / 1000.0;
                std::printf("%s on a folder of 100 000 entries: first reading %lld ms; idle %.0f s: CPU %.2f s, "
                            "%.2f %% of a core; resident memory %.1f MiB; ",
                            window                                     ? "The window"
                            : mode.endsWith(QStringLiteral("polled")) ? "The loader, as on a network folder,"
                                                                       : "The loader",
                            static_cast<long long>(firstReadingMs), wall, cpu, cpu / wall * 100, residentMiB());
                std::fflush(stdout);
                QApplication::exit(0);
            });
        });
    });
    waitForRead.start();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && std::string(argv[1]) == "--child") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int toolkitArgc = 1;
        QApplication app(toolkitArgc, argv);
        setUpApplication();
        return measure(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: floodbench FOLDER MORVEL2 [SECONDS]\n");
        return 2;
    }
    const std::string self = argv[0][0] == '/' ? argv[0] : QDir::currentPath().toStdString() + '/' + argv[0];
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::string seconds = argc > 3 ? argv[3] : "60";
    const QString flood = folder + QStringLiteral("/flood");
    const QString longAnswers = folder + QStringLiteral("/long");
    if (!writeFlood(flood, 100000) || !writeLongAnswers(longAnswers))
        return 1;
    for (const char *mode : {"idle-loader", "idle-loader-polled", "idle-window"}) {
        const double peak = runChild({self, "--child", mode, flood.toStdString(), seconds});
        std::printf("peak %.1f MiB\n", peak);
    }
    const double megabytes = QFile(longAnswers + QStringLiteral("/zoé.txt")).size() / 1e6;
    for (const char *mode : {"read-loader", "read-window"})
        std::printf("%s reading a log of %.0f MB (300 records, answers of 260 000 characters), then again: "
                    "peak %.1f MiB\n",
                    std::string(mode) == "read-loader" ? "The loader" : "The window", megabytes,
                    runChild({self, "--child", mode, longAnswers.toStdString(), "0"}));
    std::printf("morvel2 --bilan on that log: peak %.1f MiB\n",
                runChild({argv[2], "--bilan", longAnswers.toStdString()}, true));
    QDir(flood).removeRecursively();
    QDir(longAnswers).removeRecursively();
    return 0;
}
