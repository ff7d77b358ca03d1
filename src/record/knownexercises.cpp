#include "record/knownexercises.h"

#include "record/record.h"
#include "record/windows1252.h"

#include <QMutexLocker>

namespace {

// Every code is three digits, then the comma's spaces.
constexpr qsizetype codeSize = 3;

} // namespace

KnownExercises::KnownExercises(const QList<Exercise> &exercises, QStringList problems)
    : m_problems(std::move(problems))
{
    add(builtInExercise());
    for (const Exercise &exercise : exercises) {
        const auto same = std::find_if(m_exercises.cbegin(), m_exercises.cend(),
                                       [&](const Exercise &known) { return known.code == exercise.code; });
        if (same == m_exercises.cend())
            add(exercise);
        else if (!(*same == exercise))
            m_problems.append(QStringLiteral("« %1 » laissé de côté : le code %2 est déjà celui de « %3 »")
                                  .arg(exercise.label, exercise.code, same->label));
    }
}

std::shared_ptr<const KnownExercises> KnownExercises::builtInOnly()
{
    static const auto known = std::make_shared<const KnownExercises>();
    return known;
}

void KnownExercises::add(const Exercise &exercise)
{
    Encoded encoded;
    encoded.lead = toWindows1252(recordLeadText(exercise.code, exercise.label) + QStringLiteral("  justes:"));
    for (const Idea &idea : exercise.ideas)
        encoded.prompts.append(toWindows1252(idea.prompt));
    m_byCode.insert(encoded.lead.first(codeSize), int(m_exercises.size()));
    m_exercises.append(exercise);
    m_encoded.append(encoded);
}

int KnownExercises::exerciseNamedBy(QByteArrayView line) const
{
    if (line.size() < codeSize)
        return -1;
    const QByteArray code = line.first(codeSize).toByteArray();
    for (auto it = m_byCode.constFind(code); it != m_byCode.cend() && it.key() == code; ++it)
        if (line.startsWith(m_encoded.at(it.value()).lead))
            return it.value();
    return -1;
}

QByteArray KnownExercises::laidOut(int exercise, const QByteArray &key, const std::function<QByteArray()> &layOut) const
{
    // The zone of 13 characters each answer has, and its separator.
    const qsizetype longestKept = m_exercises.at(exercise).ideaCount() * 14;
    if (key.size() > longestKept)
        return layOut();
    const QByteArray kept = QByteArray::number(exercise) + '\n' + key;
    {
        const QMutexLocker locked(&m_mutex);
        if (const auto found = m_lines.constFind(kept); found != m_lines.cend())
            return *found;
    }
    const QByteArray bytes = layOut();
    constexpr qsizetype mostBytesKept = 1 << 20;
    const QMutexLocker locked(&m_mutex);
    if (m_bytesKept + kept.size() + bytes.size() > mostBytesKept) {
        m_lines.clear();
        m_bytesKept = 0;
    }
    m_lines.insert(kept, bytes);
    m_bytesKept += kept.size() + bytes.size();
    return bytes;
}
