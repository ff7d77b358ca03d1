#include "record/recordreader.h"

#include <QMutex>
#include <QMutexLocker>

#include "exercise/judge.h"
#include "record/windows1252.h"

#include <algorithm>

namespace {

const std::array<QByteArray, Content::questionCount> &encodedPrompts()
{
    static const std::array<QByteArray, Content::questionCount> prompts = [] {
        std::array<QByteArray, Content::questionCount> encoded;
        const QStringList shown = exercisePrompts();
        for (std::size_t row = 0; row < encoded.size(); ++row)
            encoded[row] = toWindows1252(shown[static_cast<qsizetype>(row)]);
        return encoded;
    }();
    return prompts;
}

QByteArrayView trimmedOfSpaces(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && bytes.front() == ' ')
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return bytes;
}

} // namespace

RecordFields recordFieldsFor(const QStringList &answers)
{
    int rightCount = 0;
    int wrongCount = 0;
    QList<Value> committed;
    for (int row = 0; row < Content::questionCount; ++row) {
        const QString answer = answers.value(row);
        const Verdict verdict = judgeAnswer(answer, Content::expectedAnswer(row)).verdict;
        rightCount += verdict == Verdict::Right ? 1 : 0;
        wrongCount += verdict == Verdict::Wrong ? 1 : 0;
        committed.append(answer.isEmpty() ? Value() : Value(answer));
    }
    return recordFields(rightCount > 0 ? Value(rightCount) : Value(), wrongCount > 0 ? Value(wrongCount) : Value(),
                        committed);
}

namespace {

// The zone an answer has in the record before the next prompt's.
constexpr qsizetype answerZone = 13;

} // namespace

bool couldHaveBeenTyped(const QString &answer)
{
    return answer.size() <= answerZone
           && std::all_of(answer.cbegin(), answer.cend(), [](QChar c) { return c >= u'1' && c <= u'4'; });
}

QString shownAnswer(const QString &answer)
{
    return answer.size() <= answerZone ? answer : answer.first(answerZone) + u'…';
}

bool ReadRecord::anyUntyped() const
{
    return std::any_of(untyped.begin(), untyped.end(), [](bool untypedAnswer) { return untypedAnswer; });
}

int ReadRecord::score() const
{
    return static_cast<int>(std::count(right.begin(), right.end(), true));
}

QByteArray RecordReader::laidOut(const QByteArray &key, const ReadRecord &record)
{
    const auto layOut = [&record] {
        QByteArray bytes = recordLine(recordFieldsFor(QStringList(record.answers.begin(), record.answers.end())));
        bytes.chop(2); // the line end
        return bytes;
    };
    // Answers longer than a box lets in are rare and may be huge: laid out
    // each time, never kept.
    if (key.size() > Content::questionCount * (answerZone + 1))
        return layOut();
    // One cache for every thread, behind a lock: a thread_local one is
    // destroyed as each reading thread ends, which MinGW's runtime does
    // after the thread's own storage has gone (a crash on Windows). Bounded
    // in bytes: a log of junk answers must not grow it without end.
    static QMutex mutex;
    static QHash<QByteArray, QByteArray> lines;
    static qsizetype bytesKept = 0;
    constexpr qsizetype mostBytesKept = 1 << 20;
    {
        const QMutexLocker locked(&mutex);
        if (const auto found = lines.constFind(key); found != lines.cend())
            return *found;
    }
    const QByteArray bytes = layOut();
    const QMutexLocker locked(&mutex);
    if (bytesKept + key.size() + bytes.size() > mostBytesKept) {
        lines.clear();
        bytesKept = 0;
    }
    lines.insert(key, bytes);
    bytesKept += key.size() + bytes.size();
    return bytes;
}

std::optional<ReadRecord> RecordReader::read(QByteArrayView line)
{
    const QByteArray code = Content::exerciseCode().toLatin1() + ' ';
    if (!line.startsWith(code))
        return std::nullopt;

    // Each answer stands between its row's prompt and the next one.
    const auto &prompts = encodedPrompts();
    std::array<QByteArrayView, Content::questionCount> typed;
    qsizetype at = line.indexOf(prompts[0]);
    if (at < 0)
        return std::nullopt;
    for (std::size_t row = 0; row < prompts.size(); ++row) {
        at += prompts[row].size();
        const qsizetype next = row + 1 < prompts.size() ? line.indexOf(prompts[row + 1], at) : line.size();
        if (next < 0)
            return std::nullopt;
        typed[row] = trimmedOfSpaces(line.sliced(at, next - at));
        at = next;
    }

    ReadRecord record;
    QByteArray key;
    for (std::size_t row = 0; row < typed.size(); ++row) {
        record.answers[row] = fromWindows1252(typed[row]);
        record.right[row] = judgeAnswer(record.answers[row], Content::expectedAnswer(static_cast<int>(row))).verdict
                            == Verdict::Right;
        record.untyped[row] = !couldHaveBeenTyped(record.answers[row]);
        key += typed[row];
        key += '\n';
    }
    if (line != laidOut(key, record))
        return std::nullopt;
    // Judged whole, kept as shown: one pupil's overlong answers must not
    // take the memory a whole class's results need.
    for (QString &answer : record.answers)
        answer = shownAnswer(answer);
    return record;
}
