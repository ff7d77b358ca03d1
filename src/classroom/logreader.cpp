#include "classroom/logreader.h"

#include <QFile>

namespace {

// Longer than any record a pupil could have typed into four answer boxes.
constexpr qsizetype longestLine = 1 << 20;

// Cuts a stream of blocks into lines, in constant memory: a line longer
// than `longestLine` is reported as too long rather than kept.
class LineSplitter
{
public:
    // `line` gets each line without its LF, and whether it had one; `tooLong`
    // each line cut short.
    LineSplitter(std::function<void(QByteArrayView, bool)> line, std::function<void()> tooLong)
        : m_line(std::move(line))
        , m_tooLong(std::move(tooLong))
    {
    }

    void add(QByteArrayView block)
    {
        for (qsizetype end = block.indexOf('\n'); end >= 0; end = block.indexOf('\n')) {
            if (m_overLong)
                m_tooLong();
            else if (m_pending.isEmpty())
                m_line(block.first(end), true);
            else
                m_line(m_pending.append(block.first(end)), true);
            m_pending.clear();
            m_overLong = false;
            block = block.sliced(end + 1);
        }
        if (!m_overLong && m_pending.size() + block.size() > longestLine) {
            m_overLong = true;
            m_pending.clear();
        }
        if (!m_overLong)
            m_pending.append(block);
    }

    // The bytes of the line not yet ended.
    qsizetype pending() const { return m_overLong ? 0 : m_pending.size(); }

    // The last line, when the log does not end with a line feed.
    void finish()
    {
        if (m_overLong)
            m_tooLong();
        else if (!m_pending.isEmpty())
            m_line(m_pending, false);
    }

private:
    std::function<void(QByteArrayView, bool)> m_line;
    std::function<void()> m_tooLong;
    QByteArray m_pending; // the start of a line that the last block cut
    bool m_overLong = false;
};

// A line of a log, as readLog() judges it: a record handed to `take`,
// nothing, or ignored.
void judgeLine(QByteArrayView line, bool ended, RecordReader &reader, LogReading &reading,
               const std::function<void(const ReadRecord &)> &take)
{
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
}

} // namespace

struct RecordTally::Lines
{
    RecordReader reader;
    LogReading reading;
    LineSplitter splitter{[this](QByteArrayView line, bool ended) {
                              judgeLine(line, ended, reader, reading, [](const ReadRecord &) {});
                          },
                          [this] { ++reading.ignoredLines; }};
};

RecordTally::RecordTally()
    : m_lines(std::make_unique<Lines>())
{
}

RecordTally::~RecordTally() = default;

void RecordTally::add(QByteArrayView bytes)
{
    m_lines->splitter.add(bytes);
}

qint64 RecordTally::finish()
{
    m_lines->splitter.finish();
    return m_lines->reading.records;
}

LogReading readLog(const std::filesystem::path &path, const std::function<void(const ReadRecord &)> &take,
                   const ReadRules &rules, const ReadSpan &span)
{
    LogReading reading;
    QFile log;
    const int fd = openLogForReading(path, rules, reading.reason, &reading.ownerUnverified);
    if (fd < 0 || !log.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (reading.reason.isEmpty())
            reading.reason = QStringLiteral("le fichier ne peut pas être lu");
        return reading;
    }
    reading.size = log.size();
    reading.modified = log.fileTime(QFileDevice::FileModificationTime);
    if (span.from > 0 && !log.seek(span.from)) {
        reading.reason = QStringLiteral("le fichier ne peut pas être lu");
        return reading;
    }
    RecordReader reader;
    LineSplitter lines([&](QByteArrayView line, bool ended) { judgeLine(line, ended, reader, reading, take); },
                       [&reading] { ++reading.ignoredLines; });
    QByteArray block(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (qint64 read; (read = log.read(block.data(), block.size())) != 0;) {
        if (read < 0) {
            reading.reason = QStringLiteral("le fichier ne peut pas être lu");
            return reading;
        }
        lines.add(QByteArrayView(block.constData(), read));
        total += read;
        if (span.progress && !span.progress(total)) {
            reading.stopped = true;
            break;
        }
    }
    reading.end = span.from + total - lines.pending();
    if (!span.wholeLinesOnly && !reading.stopped) {
        lines.finish();
        reading.end = span.from + total;
    }
    reading.ok = true;
    return reading;
}
