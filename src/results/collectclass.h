#pragma once

#include "results/logsetting.h"

#include <QString>
#include <QStringList>

#include <filesystem>

// Collecting a whole class's per-pupil logs into one folder of the
// teacher's, each under its own name, through the same collect as a single
// log: no record lost or torn while pupils write, each collected file the
// teacher's alone.

struct ClassCollectOutcome
{
    int pupils = 0;  // logs collected
    int records = 0; // records in them
    // Each log left where it was, with why (in French): a link or a file
    // planted under a pupil's name, a log that could not be moved.
    QStringList leftAlone;
    // What stopped the whole collect, in French: the class folder could not
    // be read, or the destination folder made. Empty otherwise.
    QString failure;
};

// Moves every log of `logs` into `destination`, a folder made (readable by
// the collector alone) when missing.
ClassCollectOutcome collectClass(const PupilLogs &logs, const std::filesystem::path &destination);
