#include "results/logreader.h"

#include <QFile>

namespace {

// Longer than any record a pupil could have typed into four answer boxes.
constexpr qsizetype longestLine = 1 << 20;

} // namespace

LogReading readLog(const QString &path, const std::function<void(const ReadRecord &)> &take)
{
    LogReading reading;
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly)) {
        reading.reason = log.errorString();
        return reading;
    }
    RecordReader reader;
    const auto lineRead = [&](QByteArrayView line, bool ended) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            return;
        // A record always ends with its line end: one without is torn.
        const std::optional<ReadRecord> record = ended ? reader.read(line) : std::nullopt;
        if (!record) {
            ++reading.ignoredLines;
            return;
        }
        ++reading.records;
        take(*record);
    };

    QByteArray pending; // the start of a line that the last block cut
    bool tooLong = false;
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 read = log.read(block.data(), block.size());
        if (read < 0) {
            reading.reason = log.errorString();
            return reading;
        }
        if (read == 0)
            break;
        QByteArrayView rest(block.constData(), read);
        for (qsizetype end = rest.indexOf('\n'); end >= 0; end = rest.indexOf('\n')) {
            if (tooLong)
                ++reading.ignoredLines;
            else if (pending.isEmpty())
                lineRead(rest.first(end), true);
            else
                lineRead(pending.append(rest.first(end)), true);
            pending.clear();
            tooLong = false;
            rest = rest.sliced(end + 1);
        }
        if (!tooLong && pending.size() + rest.size() > longestLine) {
            tooLong = true;
            pending.clear();
        }
        if (!tooLong)
            pending.append(rest);
    }
    if (tooLong)
        ++reading.ignoredLines;
    else if (!pending.isEmpty())
        lineRead(pending, false);
    reading.ok = true;
    return reading;
}
