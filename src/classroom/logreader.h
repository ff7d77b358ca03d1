#pragma once

#include "classroom/files.h"
#include "record/recordreader.h"

#include <QString>

#include <filesystem>
#include <functional>

// Reads a results log as a teacher collects it, in constant memory whatever
// its size: each whole record of this exercise is handed on in log order;
// blank lines are nothing; any other line (another exercise's, junk, a torn
// last line, one too long to be a record) is counted as ignored.

struct LogReading
{
    bool ok = false;
    QString reason;        // when not ok: why the log could not be read, in French
    qint64 records = 0;
    qint64 ignoredLines = 0;
};

LogReading readLog(const std::filesystem::path &path, const std::function<void(const ReadRecord &)> &take,
                   const ReadRules &rules = {});
