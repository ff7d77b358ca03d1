// Reading a big class log for the teacher's table: writes a log of about
// SIZE_MB megabytes (records of varied answers, one line of junk in a
// hundred), then reads it as --bilan does and prints the throughput and the
// peak memory, against the memory before the read.
//
//   bilanbench FOLDER [SIZE_MB]

#include "biglog.h"
#include "classroom/logreader.h"
#include "record/record.h"
#include "record/recordreader.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bilanbench FOLDER [SIZE_MB]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/classe.txt");
    const qint64 wanted = (argc > 2 ? std::atoll(argv[2]) : 200) * 1000 * 1000;

    if (!writeBigLog(path, wanted))
        return 1;
    const double before = peakMiB();

    QElapsedTimer clock;
    clock.start();
    qint64 scores = 0;
    const LogReading reading = readLog(QFile::encodeName(path).toStdString(), [&scores](const ReadRecord &read) { scores += read.score(); });
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double megabytes = QFile(path).size() / 1e6;
    QFile::remove(path);
    if (!reading.ok)
        return 1;
    std::printf("--bilan reading: %.0f MB, %lld records, %lld lines ignored, in %.2f s: %.0f MB/s; "
                "peak memory %.1f MiB before the read, %.1f MiB after (score total %lld)\n",
                megabytes, static_cast<long long>(reading.records), static_cast<long long>(reading.ignoredLines),
                seconds, megabytes / seconds, before, peakMiB(), static_cast<long long>(scores));
    return 0;
}
