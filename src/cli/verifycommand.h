#pragma once

#include "saving/logsetting.h"

#include <filesystem>

class QIODevice;

// morvel2 --verifier, for the technician and the teacher: where the records
// of the account that runs it would go, which setting says so, and whether
// that place is safe (the rule for a pupil's log, logfile/folderrule.h),
// with the reason; what could not be checked (owners a share does not show,
// Windows' NTFS permissions); and, for a log shared by several accounts,
// what sharing allows. Status 0 when the records would land where the
// setting says and nothing there is unsafe, 1 otherwise.
int runVerify(const LogLocation &log, const std::filesystem::path &rescueLog, QIODevice &out);
