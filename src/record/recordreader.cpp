#include "record/recordreader.h"

#include "exercise/judge.h"
#include "record/windows1252.h"

#include <algorithm>

namespace {

// The record's print zones, and the zone an answer has before the next
// prompt's.
constexpr qsizetype zoneWidth = 14;
constexpr qsizetype answerZone = 13;

// Where the print zone after position `at` starts (positions from 0): a
// comma always moves on, even from the start of a zone.
qsizetype nextZone(qsizetype at)
{
    return (at / zoneWidth + 1) * zoneWidth;
}

// The first zone at or after `from` that starts with `prompt`, or -1.
qsizetype promptAt(QByteArrayView line, const QByteArray &prompt, qsizetype from)
{
    for (qsizetype zone = (from + zoneWidth - 1) / zoneWidth * zoneWidth; zone < line.size(); zone += zoneWidth)
        if (line.sliced(zone).startsWith(prompt))
            return zone;
    return -1;
}

QByteArrayView withoutTrailingSpaces(QByteArrayView bytes)
{
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return bytes;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A count as the record prints it (" 3 ") before the text `next`, or
// nothing for an empty count; `rest` then starts after `next`.
std::optional<Value> countBefore(QByteArrayView &rest, QByteArrayView next)
{
    Value count;
    if (!rest.startsWith(next)) {
        qsizetype end = 1;
        while (end < rest.size() && isDigit(rest[end]))
            ++end;
        if (!rest.startsWith(' ') || end == 1 || end > 3 || end >= rest.size() || rest[end] != ' ')
            return std::nullopt;
        count = rest.sliced(1, end - 1).toInt();
        rest = rest.sliced(end + 1);
        if (!rest.startsWith(next))
            return std::nullopt;
    }
    rest = rest.sliced(next.size());
    return count;
}

// A record of an exercise not known: three digits, the label, counts that
// lay out exactly as read, then prompts and answers filling whole zones.
std::optional<ReadRecord> readUnknown(QByteArrayView line)
{
    if (line.size() < zoneWidth || line.size() % zoneWidth != 0 || !std::all_of(line.begin(), line.begin() + 3, isDigit))
        return std::nullopt;
    const qsizetype justes = line.indexOf("  justes:", zoneWidth);
    if (justes < 0)
        return std::nullopt;
    QByteArrayView rest = line.sliced(justes + 9);
    const std::optional<Value> right = countBefore(rest, "   faux:");
    const std::optional<Value> wrong = right ? countBefore(rest, "   score:") : std::nullopt;
    if (!wrong || right->number() + wrong->number() > maxIdeas)
        return std::nullopt;
    ReadRecord record;
    record.code = QString::fromLatin1(line.first(3));
    record.label = fromWindows1252(line.sliced(zoneWidth, justes - zoneWidth));
    record.rightCount = right->number();
    const QByteArray head = toWindows1252(recordText({*right, *wrong, {}, record.code, record.label}));
    if (!line.startsWith(head) || line.size() == head.size() || line[head.size()] == ' ')
        return std::nullopt;
    if (std::any_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x20 || c == 0x7F; }))
        return std::nullopt;
    return record;
}

} // namespace

RecordFields recordFieldsFor(const Exercise &exercise, const QStringList &answers)
{
    int rightCount = 0;
    int wrongCount = 0;
    QList<Value> committed;
    QStringList prompts;
    const QString wrongAnswers = paragraphNumbers(exercise.paragraphCount());
    for (int row = 0; row < exercise.ideaCount(); ++row) {
        const QString answer = answers.value(row);
        const Verdict verdict = judgeAnswer(answer, exercise.expectedAnswer(row), wrongAnswers).verdict;
        rightCount += verdict == Verdict::Right ? 1 : 0;
        wrongCount += verdict == Verdict::Wrong ? 1 : 0;
        committed.append(answer.isEmpty() ? Value() : Value(answer));
        prompts.append(exercise.ideas.at(row).prompt);
    }
    RecordFields fields = recordFields(rightCount > 0 ? Value(rightCount) : Value(),
                                       wrongCount > 0 ? Value(wrongCount) : Value(), committed, prompts);
    fields.code = exercise.code;
    fields.label = exercise.label;
    return fields;
}

RecordFields recordFieldsFor(const QStringList &answers)
{
    return recordFieldsFor(builtInExercise(), answers);
}

bool couldHaveBeenTyped(const QString &answer, int paragraphCount)
{
    const QChar last(u'0' + paragraphCount);
    return answer.size() <= answerZone
           && std::all_of(answer.cbegin(), answer.cend(), [last](QChar c) { return c >= u'1' && c <= last; });
}

QString shownAnswer(const QString &answer)
{
    return answer.size() <= answerZone ? answer : answer.first(answerZone) + u'…';
}

RecordReader::RecordReader(std::shared_ptr<const KnownExercises> known)
    : m_known(std::move(known))
{
}

std::optional<ReadRecord> RecordReader::read(QByteArrayView line) const
{
    const int exercise = m_known->exerciseNamedBy(line);
    // A line naming a known exercise is its record or nothing: read as one
    // not known, a hand-edited count would pass.
    return exercise >= 0 ? readKnown(exercise, line) : readUnknown(line);
}

std::optional<ReadRecord> RecordReader::readKnown(int exercise, QByteArrayView line) const
{
    // Each prompt starts a print zone; its answer starts the next zone and
    // runs up to the zone where the next prompt starts.
    const QList<QByteArray> &prompts = m_known->encodedPrompts(exercise);
    QList<QByteArrayView> typed;
    qsizetype at = promptAt(line, prompts.at(0), m_known->leadSize(exercise));
    for (qsizetype row = 0; row < prompts.size(); ++row) {
        if (at < 0)
            return std::nullopt;
        const qsizetype answer = nextZone(at + prompts.at(row).size());
        if (answer > line.size())
            return std::nullopt;
        at = row + 1 < prompts.size() ? promptAt(line, prompts.at(row + 1), answer + zoneWidth) : line.size();
        typed.append(withoutTrailingSpaces(line.sliced(answer, (at < 0 ? line.size() : at) - answer)));
    }

    const Exercise &known = m_known->at(exercise);
    ReadRecord record;
    record.exercise = exercise;
    record.code = known.code;
    record.label = known.label;
    QByteArray key;
    const QString wrongAnswers = paragraphNumbers(known.paragraphCount());
    for (qsizetype row = 0; row < typed.size(); ++row) {
        const QString answer = fromWindows1252(typed[row]);
        const auto bit = std::size_t(row);
        record.right[bit] = judgeAnswer(answer, known.expectedAnswer(int(row)), wrongAnswers).verdict == Verdict::Right;
        record.untyped[bit] = !couldHaveBeenTyped(answer, known.paragraphCount());
        record.answers.append(answer);
        key += typed[row];
        key += '\n';
    }
    const QByteArray laidOut = m_known->laidOut(exercise, key, [&] {
        return recordLine(recordFieldsFor(known, record.answers)).chopped(2); // without the line end
    });
    if (line != laidOut)
        return std::nullopt;
    record.rightCount = int(record.right.count());
    // Judged whole, kept as shown: one pupil's overlong answers must not
    // take the memory a whole class's results need.
    for (QString &answer : record.answers)
        answer = shownAnswer(answer);
    return record;
}
