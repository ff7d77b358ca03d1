#pragma once

#include "saving/logsetting.h"

#include <filesystem>

class QIODevice;

// morvel2 --verifier, for the technician and the teacher: where the records
// of the account that runs it would go, which setting says so, and whether
// that place is safe (the rule for a pupil's log and its folder's lists of
// rights, logfile/folderrule.h; on Windows, who the folder's rights let
// list it or read what is made in it), with the reason; a trial append,
// made as the writer makes one short of writing (logfile::tryAppend); what
// could not be checked; and, for a log shared by several accounts, what
// sharing allows. Run by the teacher on the class folder, it says the
// folder is theirs. Status 0 when the records would land where the setting
// says and nothing there is unsafe, 1 otherwise.
int runVerify(const LogLocation &log, const std::filesystem::path &rescueLog, QIODevice &out);
