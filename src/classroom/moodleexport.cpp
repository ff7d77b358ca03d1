#include "classroom/moodleexport.h"

#include "classroom/csvexport.h"
#include "classroom/wording.h"

#include <QMap>

#include <algorithm>

QList<ExerciseKey> moodleExercises(const ClassResults &results)
{
    QList<ExerciseKey> keys = results.exercises();
    keys.removeIf([](const ExerciseKey &key) { return !key.known; });
    return keys;
}

bool writeMoodleCsv(QIODevice &device, const ClassResults &results)
{
    const QList<ExerciseKey> exercises = moodleExercises(results);
    QStringList header{QStringLiteral("username")};
    // Each login's best score at each exercise; -1 for none.
    QHash<QString, QList<int>> best;
    for (qsizetype column = 0; column < exercises.size(); ++column) {
        const ClassReport &report = results.report(exercises.at(column));
        header.append(QStringLiteral("%1 %2 (sur %3)").arg(report.exercise().code, report.exercise().label)
                          .arg(report.outOf()));
        for (const PupilSummary &pupil : report.pupils()) {
            if (pupil.attempts == 0)
                continue;
            QList<int> &scores = best[pupil.name.toLower()];
            scores.resize(exercises.size(), -1);
            scores[column] = std::max(scores[column], pupil.best);
        }
    }
    QStringList logins = best.keys();
    std::sort(logins.begin(), logins.end(), frenchOrder());
    CsvWriter csv(device, header, u',', false);
    for (const QString &login : std::as_const(logins)) {
        QStringList row{login};
        for (const int score : best.value(login))
            row.append(score < 0 ? QString() : QString::number(score));
        csv.writeRow(row);
    }
    return csv.ok();
}
