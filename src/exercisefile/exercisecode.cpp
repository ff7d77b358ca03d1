#include "exercisefile/exercisecode.h"

#include "exercise/exercise.h"

#include <QSet>

#include <algorithm>

namespace {

QString codeText(int code)
{
    return QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
}

} // namespace

QString proposeExerciseCode(const QStringList &used)
{
    QSet<int> taken;
    int highest = 300; // teachers' codes start at 301
    taken.insert(builtInExercise().code.toInt());
    for (const QString &given : used) {
        const QString code = given.trimmed();
        if (code.size() != 3 || !std::all_of(code.cbegin(), code.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            continue;
        const int value = code.toInt();
        taken.insert(value);
        highest = qMax(highest, value);
    }
    for (int code = highest + 1; code <= 999; ++code)
        if (!taken.contains(code))
            return codeText(code);
    for (int code = 0; code <= 999; ++code)
        if (!taken.contains(code))
            return codeText(code);
    return {};
}
