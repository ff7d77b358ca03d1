#pragma once

#include "saving/saverecord.h"

#include <QString>

// What the pupil's window says once the record has been saved, for the
// teacher who will look for it: nothing when it went into the log; where
// it went, or that it went nowhere but standard error, otherwise.
QString savedRecordMessage(const SaveOutcome &saved);
