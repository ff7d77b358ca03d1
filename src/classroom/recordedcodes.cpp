#include "classroom/recordedcodes.h"

#include <QFile>

namespace {

// Whether `line` is a record of exercise `code`: the code, then the spaces
// of its zone.
bool recordOf(QByteArrayView line, const QByteArray &code)
{
    return line.startsWith(code) && line.size() > code.size() && line[code.size()] == ' ';
}

bool logHolds(const LogSource &log, const QByteArray &code)
{
    QString reason;
    const int fd = openLogForReading(log.file.path, readRulesFor(log), reason);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return false;
    // The start of the line being read: as much as a record's code takes.
    const qsizetype need = code.size() + 1;
    QByteArray head;
    for (;;) {
        const QByteArray block = file.read(64 * 1024);
        if (block.isEmpty())
            return recordOf(head, code); // the last line, unended
        for (qsizetype from = 0;;) {
            const qsizetype end = block.indexOf('\n', from);
            const qsizetype stop = end < 0 ? block.size() : end;
            if (head.size() < need)
                head += QByteArrayView(block).sliced(from, std::min(stop - from, need - head.size()));
            if (end < 0)
                break;
            if (recordOf(head, code))
                return true;
            head.clear();
            from = end + 1;
        }
    }
}

} // namespace

bool logsHoldExercise(const QList<LogSource> &logs, const QString &code)
{
    const QByteArray bytes = code.toLatin1();
    for (const LogSource &log : logs)
        if (logHolds(log, bytes))
            return true;
    return false;
}
