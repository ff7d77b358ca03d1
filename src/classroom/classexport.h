#pragma once

#include "classroom/classreport.h"
#include "classroom/classresults.h"
#include "classroom/classsources.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

// A class written for a spreadsheet at `target` (classroom/csvexport.h),
// into a new file of the teacher's alone beside it, then put in its place,
// so that a file replaced (the teacher said yes) is never left half
// written, and one stopped leaves nothing behind. Both run off the window's
// thread: `progress` is told how far they are (done, of total), and
// returning false stops them.

using ExportProgress = std::function<bool(qint64, qint64)>;

struct ExportOutcome
{
    QString failure;      // why nothing was written, in French; empty when written or stopped
    bool stopped = false; // stopped when asked: nothing written
    QStringList unread;   // logs left out of the attempts because they could not be read, with why
};

// Every attempt, read again from the logs with the exercises `known`: the
// same table as morvel2 --bilan --csv writes, of the exercise `only` when
// given. Progress in bytes read.
ExportOutcome exportClassCsv(const ClassSources &sources, const std::filesystem::path &target,
                             const ExportProgress &progress = {},
                             std::shared_ptr<const KnownExercises> known = KnownExercises::builtInOnly(),
                             const std::optional<ExerciseKey> &only = std::nullopt);

// An exercise's table as the window shows it, its rows in `order`. Progress in rows.
// The best scores for Moodle's gradebook (classroom/moodleexport.h).
ExportOutcome exportMoodle(const ClassResults &results, const std::filesystem::path &target);

ExportOutcome exportClassTable(const ClassReport &report, const QList<qsizetype> &order,
                               const std::filesystem::path &target, const ExportProgress &progress = {});
