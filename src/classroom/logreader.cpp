#include "classroom/logreader.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// Longer than any record a pupil could have typed into eleven answer boxes.
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
    // Whether the line not yet ended is already too long; a reading that
    // goes on from there starts inside it.
    bool insideLongLine() const { return m_overLong; }
    void startInsideLongLine() { m_overLong = true; }

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
void judgeLine(QByteArrayView line, bool ended, const RecordReader &reader, LogReading &reading,
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

namespace {

// A digest of the first and the last bytes before `end`: a log rewritten
// from its start, or whose lines read so far changed, has another; one that
// only grew keeps it. Nothing when they cannot be read.
std::optional<QByteArray> digestOf(QFile &log, qint64 end)
{
    constexpr qint64 edge = 4096;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(end));
    for (const qint64 from : {qint64(0), std::max<qint64>(0, end - edge)}) {
        const qint64 length = std::min(edge, end - from);
        if (!log.seek(from))
            return std::nullopt;
        const QByteArray bytes = log.read(length);
        if (bytes.size() != length)
            return std::nullopt;
        hash.addData(bytes);
    }
    return hash.result();
}

// Whether the open log is the one `mark` was left in, the bytes before it as they were.
bool goesOn(QFile &log, const FileStamp &stamp, const LogMark &mark)
{
    return stamp.sameFile(mark.stamp) && stamp.size >= mark.end && digestOf(log, mark.end) == mark.digest;
}

} // namespace

LogReading readLog(const std::filesystem::path &path, const std::function<void(const ReadRecord &)> &take,
                   const ReadRules &rules, const ReadSpan &span, std::shared_ptr<const KnownExercises> known)
{
    LogReading reading;
    QFile log;
    const int fd = openLogForReading(path, rules, reading.reason, &reading.ownerUnverified);
    if (fd < 0 || !log.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (reading.reason.isEmpty())
            reading.reason = QStringLiteral("le fichier ne peut pas être lu");
        return reading;
    }
    const QString unreadable = QStringLiteral("le fichier ne peut pas être lu");
    // Taken before any byte is read: what is appended meanwhile changes it.
    reading.mark.stamp = stampOf(fd);
    reading.modified = log.fileTime(QFileDevice::FileModificationTime);
    if (span.after && !goesOn(log, reading.mark.stamp, *span.after)) {
        reading.replaced = true;
        reading.ok = true;
        return reading;
    }
    const qint64 from = span.after ? span.after->end : 0;
    if (!log.seek(from)) {
        reading.reason = unreadable;
        return reading;
    }
    const RecordReader reader(std::move(known));
    LineSplitter lines([&](QByteArrayView line, bool ended) { judgeLine(line, ended, reader, reading, take); },
                       [&reading] { ++reading.ignoredLines; });
    if (span.after && span.after->insideLongLine)
        lines.startInsideLongLine();
    QByteArray block(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (qint64 read; (read = log.read(block.data(), block.size())) != 0;) {
        if (read < 0) {
            reading.reason = unreadable;
            return reading;
        }
        lines.add(QByteArrayView(block.constData(), read));
        total += read;
        if (span.progress && !span.progress(total)) {
            reading.stopped = true;
            break;
        }
    }
    reading.mark.end = from + total - lines.pending();
    reading.mark.insideLongLine = lines.insideLongLine();
    if (!span.wholeLinesOnly && !reading.stopped) {
        lines.finish();
        reading.mark.end = from + total;
        reading.mark.insideLongLine = false;
    }
    // Without a digest (the log shrank meanwhile), the next reading starts again.
    reading.mark.digest = digestOf(log, reading.mark.end).value_or(QByteArray());
    reading.ok = true;
    return reading;
}
