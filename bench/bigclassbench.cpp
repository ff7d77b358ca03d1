// The teacher's window on a big shared log: writes a log of about SIZE_MB
// megabytes (the answer sets a class gives, one line of junk in a hundred),
// opens the window on it and prints how long the reading took, the longest
// the window went without handling its events meanwhile, and the memory
// the reading added to an empty window's.
//
//   bigclassbench FOLDER [SIZE_MB]
//
// With --class FOLDER PUPILS ATTEMPTS, only writes a class folder of that
// many pupils' logs sharing that many attempts, for bench/classready.

#include "app/applicationsetup.h"
#include "biglog.h"
#include "record/record.h"
#include "record/recordreader.h"
#include "app/classwindowmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// The resident memory now, in MiB.
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

bool writeClass(const QString &folder, int pupils, int attempts)
{
    const QStringList digits{"", "1", "2", "3", "4"};
    for (int attempt = 0; attempt < attempts; ++attempt) {
        QFile log(QStringLiteral("%1/eleve%2.txt").arg(folder).arg(attempt % pupils, 2, 10, QLatin1Char('0')));
        const int i = attempt * 37 % 625;
        if (!log.open(QIODevice::Append)
            || log.write(recordLine(recordFieldsFor({digits[i % 5], digits[i / 5 % 5], digits[i / 25 % 5],
                                                     digits[i / 125 % 5]}))) < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && QByteArray(argv[1]) == "--class")
        return writeClass(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])) ? 0 : 1;
    if (argc < 2) {
        std::fprintf(stderr, "usage: bigclassbench FOLDER [SIZE_MB]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/classe.txt");
    if (!writeBigLog(path, (argc > 2 ? std::atoll(argv[2]) : 200) * 1000 * 1000))
        return 1;
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    setUpApplication();
    ClassWindow window(classWindowContext({QString::fromLocal8Bit(argv[1]) + QStringLiteral("/vide")}, LogLocation{}));
    window.show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const double empty = residentMiB();

    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    double peak = empty;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, sinceTick.restart());
        peak = std::max(peak, residentMiB());
    });
    QObject::connect(&window.loader(), &ClassLoader::loaded, [&] {
        // A few ticks more: showing the table counts among the pauses.
        QTimer::singleShot(300, [&, seconds = clock.nsecsElapsed() / 1e9] {
        const double megabytes = QFile(path).size() / 1e6;
        std::printf("The teacher's window on one log of %.0f MB: %lld attempts read in %.2f s (%.0f MB/s); "
                    "longest pause of the event loop %lld ms; resident memory %.1f MiB for the empty window, "
                    "peak %.1f MiB while reading (+%.1f MiB), %.1f MiB after\n",
                    megabytes, static_cast<long long>(window.report().attempts()), seconds, megabytes / seconds,
                    static_cast<long long>(longestPause), empty, peak, peak - empty, residentMiB());
        QFile::remove(path);
        std::fflush(nullptr);
        std::_Exit(0);
        });
    });
    clock.start();
    sinceTick.start();
    tick.start();
    window.openPaths({path});
    return QApplication::exec();
}
