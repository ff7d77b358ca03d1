// The end of the exercise, measured in the real window: the time from the
// fourth Enter to the closing message being shown, durable append included,
// on an empty and on a 2 GiB results log; then the append alone, one record
// with its flush, on the same two logs.
//
//   endbench RUNS APPENDS

#include "app/applicationsetup.h"
#include "exercise/content.h"
#include "paths/paths.h"
#include "saving/logpaths.h"
#include "record/record.h"
#include "saving/writerchoice.h"
#include "window/morvel2.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 twoGiB = 2LL * 1024 * 1024 * 1024;

// Notes when the closing message first paints, then closes it.
class ClosingMessageWatch : public QObject
{
public:
    QElapsedTimer clock;
    qint64 shownAtNs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Paint && shownAtNs < 0
            && box->text().startsWith(QStringLiteral("Tu es arrivé"))) {
            shownAtNs = clock.nsecsElapsed();
            QMetaObject::invokeMethod(box, &QDialog::accept, Qt::QueuedConnection);
        }
        return false;
    }
};

struct Stats
{
    double median, min, max;
};

Stats stats(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return {n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2, values.first(),
            values.last()};
}

// Puts the log back to its size, and on the disk, so that the next append
// flushes nothing but its own record.
void setSize(const QString &path, qint64 size)
{
    QFile log(path);
    log.open(QIODevice::ReadWrite);
    log.resize(size > 0 ? size - 2 : 0);
    if (size > 0) {
        log.seek(size - 2);
        log.write("\r\n"); // a log ends with a line end
    }
    log.flush();
    ::fsync(log.handle());
}

// Milliseconds from the fourth Enter to the closing message on screen.
double timeTheEnd(ClosingMessageWatch &watch)
{
    Morvel2 window(WindowContext{{resultsLogPath(), rescueLogPath()}, {}, driveRoot(), {}, {}, {}});
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        std::fprintf(stderr, "endbench: the window never became active\n");
    for (int row = 0; row < 3; ++row)
        QTest::keyClicks(window.findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(row)),
                         QStringLiteral("3\r"));
    QLineEdit *last = window.findChild<QLineEdit *>(QStringLiteral("Text1(3)"));
    QTest::keyClick(last, Qt::Key_3);
    watch.shownAtNs = -1;
    watch.clock.start();
    QTest::keyClick(last, Qt::Key_Return);
    return watch.shownAtNs / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication();
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const int appends = argc > 2 ? std::atoi(argv[2]) : 100;

    QTemporaryDir home(QDir::currentPath() + QStringLiteral("/endbench-XXXXXX"));
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_DATA_HOME");
    const QString log = home.filePath(QStringLiteral("estest.txt"));

    ClosingMessageWatch watch;
    app.installEventFilter(&watch);

    QList<RecordRow> rows;
    for (int row = 0; row < Content::questionCount; ++row)
        rows.append({Content::prompt(row), Content::expectedAnswer(row)});
    const QByteArray record = recordLine({4, Value(), rows});

    struct Case
    {
        const char *name;
        qint64 size;
    };
    std::printf("| results log | fourth Enter to closing message, median (min - max) "
                "| append alone with its flush, median (min - max) |\n|---|---|---|\n");
    double appendMedian[2] = {};
    int index = 0;
    for (const Case &logCase : {Case{"empty", 0}, Case{"2 GiB (sparse)", twoGiB}}) {
        QList<double> ends;
        for (int run = 0; run < runs + 1; ++run) {
            setSize(log, logCase.size);
            const double ms = timeTheEnd(watch);
            if (run > 0) // the first is a warm-up
                ends.append(ms);
        }
        QList<double> appendUs;
        QElapsedTimer clock;
        for (int i = 0; i < appends; ++i) {
            setSize(log, logCase.size);
            clock.start();
            if (!appendRecord(QFile::encodeName(log).toStdString(), record).ok)
                return 1;
            appendUs.append(clock.nsecsElapsed() / 1e3);
        }
        const Stats end = stats(ends);
        const Stats append = stats(appendUs);
        appendMedian[index++] = append.median;
        std::printf("| %s | %.2f ms (%.2f - %.2f), %d runs | %.0f us (%.0f - %.0f), %d appends |\n",
                    logCase.name, end.median, end.min, end.max, runs, append.median, append.min,
                    append.max, appends);
    }
    std::printf("\nappend to the 2 GiB log / append to the empty log: %.2f\n",
                appendMedian[1] / appendMedian[0]);
    return 0;
}
