#include "classroom/classreport.h"

#include "classroom/wording.h"

#include <QHash>

#include <algorithm>

namespace {

constexpr int questionCount = Content::questionCount;

QString promptWithoutMark(int row)
{
    QString prompt = Content::prompt(row);
    if (prompt.endsWith(QStringLiteral("N°")))
        prompt.chop(2);
    return prompt.trimmed();
}

QString recordKey(const ReadRecord &record)
{
    QString key;
    for (const QString &answer : record.answers)
        key += answer + u'\x1f';
    return key;
}

} // namespace

AnswerChoice answerChoiceOf(const QString &answer)
{
    if (answer.isEmpty())
        return AnswerChoice::Blank;
    const char16_t first = answer.front().unicode();
    if (answer.size() == 1 && first >= u'1' && first < u'1' + paragraphChoices.size())
        return paragraphChoices[std::size_t(first - u'1')];
    return AnswerChoice::Other;
}

int paragraphNumber(AnswerChoice choice)
{
    const auto found = std::find(paragraphChoices.cbegin(), paragraphChoices.cend(), choice);
    return found == paragraphChoices.cend() ? 0 : int(found - paragraphChoices.cbegin()) + 1;
}

bool isExpectedChoice(const QuestionSummary &question, AnswerChoice choice)
{
    return paragraphNumber(choice) > 0 && answerChoiceOf(question.expected) == choice;
}

ClassReport::ClassReport(ReportRows rows, bool keepHistory)
    : m_rows(rows)
    , m_keepHistory(keepHistory)
{
}

void ClassReport::beginPupil(const QString &name)
{
    if (m_rows == ReportRows::Attempts)
        return;
    // Looked up rather than searched for: a folder may hold thousands.
    const auto found = m_byName.constFind(name);
    if (found != m_byName.cend()) {
        m_current = *found;
        return;
    }
    m_pupils.append({name, 0, {}, 0, {}, false, {}});
    m_current = m_pupils.size() - 1;
    m_byName.insert(name, m_current);
}

void ClassReport::noteLog(const QDateTime &changed, bool ownerUnverified)
{
    if (m_rows == ReportRows::Attempts) {
        m_fileUnverified = m_fileUnverified || ownerUnverified;
        return;
    }
    if (m_current < 0)
        return;
    PupilSummary &pupil = m_pupils[m_current];
    if (changed.isValid() && (!pupil.lastChanged.isValid() || changed > pupil.lastChanged))
        pupil.lastChanged = changed;
    pupil.ownerUnverified = pupil.ownerUnverified || ownerUnverified;
}

qint32 ClassReport::intern(const ReadRecord &record)
{
    const QString key = recordKey(record);
    const auto found = m_recordIds.constFind(key);
    if (found != m_recordIds.cend())
        return *found;
    m_records.append(record);
    const auto id = static_cast<qint32>(m_records.size() - 1);
    m_recordIds.insert(key, id);
    return id;
}

void ClassReport::count(const ReadRecord &last, int sign)
{
    m_rowsWithAttempt += sign;
    m_lastScores += sign * last.score();
    for (std::size_t question = 0; question < m_ideaCounts.size(); ++question) {
        IdeaCounts &counts = m_ideaCounts[question];
        const QString &answer = last.answers[question];
        counts.spread[static_cast<std::size_t>(answerChoiceOf(answer))] += sign;
        if (last.right[question]) {
            counts.right += sign;
        } else if (answer.isEmpty()) {
            counts.blank += sign;
        } else if ((counts.wrong[answer] += sign) == 0) {
            counts.wrong.remove(answer);
        }
    }
}

void ClassReport::addAttempt(const ReadRecord &record)
{
    ++m_attempts;
    if (m_rows == ReportRows::Attempts) {
        m_attemptRecords.append(intern(record));
        count(record, 1);
        return;
    }
    if (m_current < 0)
        beginPupil(QString());
    PupilSummary &pupil = m_pupils[m_current];
    if (pupil.attempts > 0)
        count(pupil.last, -1);
    count(record, 1);
    ++pupil.attempts;
    pupil.last = record;
    pupil.best = std::max(pupil.best, record.score());
    if (m_keepHistory)
        pupil.history.append(intern(record));
}

qsizetype ClassReport::rowCount() const
{
    return m_rows == ReportRows::Attempts ? m_attemptRecords.size() : m_pupils.size();
}

PupilSummary ClassReport::row(qsizetype index) const
{
    if (m_rows == ReportRows::Pupils)
        return m_pupils.at(index);
    const qint32 id = m_attemptRecords.at(index);
    const ReadRecord &record = m_records.at(id);
    return {QStringLiteral("essai %1").arg(index + 1), 1, record, record.score(), {},
            m_fileUnverified, {id}};
}

const ReadRecord &ClassReport::lastOf(qsizetype index) const
{
    return m_rows == ReportRows::Pupils ? m_pupils.at(index).last : m_records.at(m_attemptRecords.at(index));
}

int ClassReport::attemptsOf(qsizetype index) const
{
    return m_rows == ReportRows::Pupils ? m_pupils.at(index).attempts : 1;
}

int ClassReport::bestOf(qsizetype index) const
{
    return m_rows == ReportRows::Pupils ? m_pupils.at(index).best : lastOf(index).score();
}

// Calls visit(rowIndex, lastRecord) for each row with an attempt.
template<typename Visit>
void ClassReport::forEachLast(Visit visit) const
{
    if (m_rows == ReportRows::Attempts) {
        for (qsizetype i = 0; i < m_attemptRecords.size(); ++i)
            visit(i, m_records.at(m_attemptRecords.at(i)));
        return;
    }
    for (qsizetype i = 0; i < m_pupils.size(); ++i)
        if (m_pupils.at(i).attempts > 0)
            visit(i, m_pupils.at(i).last);
}

QList<QuestionSummary> ClassReport::questions() const
{
    QList<QuestionSummary> questions;
    for (int row = 0; row < questionCount; ++row) {
        const IdeaCounts &counts = m_ideaCounts[static_cast<std::size_t>(row)];
        QuestionSummary question{promptWithoutMark(row), Content::expectedAnswer(row), counts.right, counts.blank,
                                 m_rowsWithAttempt, counts.spread, {}, 0};
        for (auto it = counts.wrong.cbegin(); it != counts.wrong.cend(); ++it) {
            if (it.value() > question.commonestCount) {
                question.commonestCount = it.value();
                question.commonestWrong = {it.key()};
            } else if (it.value() == question.commonestCount) {
                question.commonestWrong.append(it.key());
            }
        }
        std::sort(question.commonestWrong.begin(), question.commonestWrong.end(), frenchOrder());
        questions.append(question);
    }
    return questions;
}

QStringList ClassReport::whoChose(int question, AnswerChoice choice) const
{
    QStringList names;
    const auto index = static_cast<std::size_t>(question);
    forEachLast([&](qsizetype row, const ReadRecord &last) {
        if (answerChoiceOf(last.answers[index]) == choice)
            names.append(m_rows == ReportRows::Pupils ? m_pupils.at(row).name
                                                      : QStringLiteral("essai %1").arg(row + 1));
    });
    if (m_rows == ReportRows::Pupils)
        std::stable_sort(names.begin(), names.end(), frenchOrder());
    return names;
}

int ClassReport::rowsWithAttempt() const
{
    return m_rowsWithAttempt;
}

double ClassReport::meanScore() const
{
    return m_rowsWithAttempt > 0 ? double(m_lastScores) / m_rowsWithAttempt : 0.0;
}

bool ClassReport::anyOwnerUnverified() const
{
    if (m_rows == ReportRows::Attempts)
        return m_fileUnverified && !m_attemptRecords.isEmpty();
    return std::any_of(m_pupils.cbegin(), m_pupils.cend(),
                       [](const PupilSummary &pupil) { return pupil.ownerUnverified && pupil.attempts > 0; });
}

QString rowNoun(const ClassReport &report, qint64 count)
{
    return report.rowKind() == ReportRows::Pupils
               ? plural(count, QStringLiteral("élève"), QStringLiteral("élèves"))
               : plural(count, QStringLiteral("essai"), QStringLiteral("essais"));
}
