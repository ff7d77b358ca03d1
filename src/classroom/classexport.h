#pragma once

#include "classroom/classsources.h"

#include <QString>

#include <filesystem>

// The class's attempts written for a spreadsheet at `target`, the same
// table as morvel2 --bilan --csv writes: read again from the logs, into a
// new file of the teacher's alone beside `target`, then put in its place,
// so that a file replaced (the teacher said yes) is never left half
// written. Empty when done, otherwise why not, in French.
QString exportClassCsv(const ClassSources &sources, const std::filesystem::path &target);
