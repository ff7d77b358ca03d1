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

} // namespace

void ClassReport::beginPupil(const QString &name)
{
    // Looked up rather than searched for: a folder may hold thousands.
    const auto found = m_byName.constFind(name);
    if (found != m_byName.cend()) {
        m_current = *found;
        return;
    }
    m_pupils.append({name, 0, {}, 0});
    m_current = m_pupils.size() - 1;
    m_byName.insert(name, m_current);
}

void ClassReport::addAttempt(const ReadRecord &record)
{
    if (m_current < 0)
        beginPupil(QString());
    PupilSummary &pupil = m_pupils[m_current];
    ++pupil.attempts;
    pupil.last = record;
    pupil.best = std::max(pupil.best, record.score());
}

int ClassReport::attempts() const
{
    int total = 0;
    for (const PupilSummary &pupil : m_pupils)
        total += pupil.attempts;
    return total;
}

QList<QuestionSummary> ClassReport::questions() const
{
    QList<QuestionSummary> questions;
    for (int row = 0; row < questionCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        QuestionSummary question{promptWithoutMark(row), Content::expectedAnswer(row), 0, 0, 0, {}, 0};
        QHash<QString, int> wrong;
        for (const PupilSummary &pupil : m_pupils) {
            if (pupil.attempts == 0)
                continue;
            ++question.pupils;
            const QString &answer = pupil.last.answers[index];
            if (pupil.last.right[index])
                ++question.right;
            else if (answer.isEmpty())
                ++question.blank;
            else
                ++wrong[answer];
        }
        for (auto it = wrong.cbegin(); it != wrong.cend(); ++it) {
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

double ClassReport::meanScore() const
{
    int pupils = 0;
    int scores = 0;
    for (const PupilSummary &pupil : m_pupils) {
        if (pupil.attempts == 0)
            continue;
        ++pupils;
        scores += pupil.last.score();
    }
    return pupils > 0 ? double(scores) / pupils : 0.0;
}

