#include "classroom/classreport.h"

#include "classroom/wording.h"

#include <QHash>

#include <algorithm>

namespace {

QString recordKey(const ReadRecord &record)
{
    QString key = QString::number(record.rightCount) + u'\x1f';
    for (const QString &answer : record.answers)
        key += answer + u'\x1f';
    return key;
}

} // namespace

size_t qHash(const ExerciseKey &key, size_t seed)
{
    return qHashMulti(seed, key.code, key.label, key.known);
}

ExerciseKey keyOf(const ReadRecord &record)
{
    return {record.code, record.label, record.known()};
}

QList<AnswerChoice> answerChoices(int paragraphCount)
{
    QList<AnswerChoice> choices;
    for (int paragraph = 1; paragraph <= paragraphCount && paragraph <= maxParagraphs; ++paragraph)
        choices.append(AnswerChoice(paragraph));
    return choices << AnswerChoice::Blank << AnswerChoice::Other;
}

AnswerChoice answerChoiceOf(const QString &answer, int paragraphCount)
{
    if (answer.isEmpty())
        return AnswerChoice::Blank;
    const char16_t first = answer.front().unicode();
    if (answer.size() == 1 && first >= u'1' && first < u'1' + std::min(paragraphCount, maxParagraphs))
        return AnswerChoice(first - u'0');
    return AnswerChoice::Other;
}

int paragraphNumber(AnswerChoice choice)
{
    return choice == AnswerChoice::Blank || choice == AnswerChoice::Other ? 0 : int(choice);
}

bool isExpectedChoice(const QuestionSummary &question, AnswerChoice choice)
{
    return paragraphNumber(choice) > 0 && answerChoiceOf(question.expected, question.paragraphCount) == choice;
}

ClassReport::ClassReport(ReportRows rows, bool keepHistory, const Exercise &exercise, bool known)
    : m_rows(rows)
    , m_keepHistory(keepHistory)
    , m_exercise(exercise)
    , m_known(known)
    , m_ideaCounts(known ? exercise.ideaCount() : 0)
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
    m_pupils.append({name, 0, {}, 0, {}, false, false, {}});
    m_current = m_pupils.size() - 1;
    m_byName.insert(name, m_current);
}

void ClassReport::noteLog(const QDateTime &changed, bool ownerUnverified, bool exact)
{
    if (changed.isValid()
        && (!m_latest.isValid() || (exact && !m_latestExact) || (exact == m_latestExact && changed > m_latest))) {
        m_latest = changed;
        m_latestExact = exact;
    }
    if (m_rows == ReportRows::Attempts) {
        m_fileUnverified = m_fileUnverified || ownerUnverified;
        return;
    }
    if (m_current < 0)
        return;
    PupilSummary &pupil = m_pupils[m_current];
    if (changed.isValid()
        && (!pupil.lastChanged.isValid() || changed > pupil.lastChanged
            || (changed == pupil.lastChanged && exact))) {
        pupil.lastChanged = changed;
        pupil.lastChangedBound = !exact;
    }
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
    const qsizetype ideas = std::min(m_ideaCounts.size(), last.answers.size());
    for (qsizetype question = 0; question < ideas; ++question) {
        IdeaCounts &counts = m_ideaCounts[question];
        const QString &answer = last.answers.at(question);
        counts.spread[static_cast<std::size_t>(answerChoiceOf(answer, paragraphCount()))] += sign;
        if (last.right[std::size_t(question)]) {
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
    return {QStringLiteral("essai %1").arg(index + 1), 1, record, record.score(), {}, false, m_fileUnverified, {id}};
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
    for (int row = 0; row < m_ideaCounts.size(); ++row) {
        const IdeaCounts &counts = m_ideaCounts.at(row);
        QuestionSummary question{m_exercise.ideaText(row), m_exercise.expectedAnswer(row), counts.right, counts.blank,
                                 m_rowsWithAttempt, paragraphCount(), counts.spread, {}, 0};
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
    forEachLast([&](qsizetype row, const ReadRecord &last) {
        if (question < last.answers.size() && answerChoiceOf(last.answers.at(question), paragraphCount()) == choice)
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
