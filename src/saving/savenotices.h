#pragma once

#include "saving/saverecord.h"

#include <QString>

// What the exercise's boxes say when the results log is not as it should
// be: a sentence for the child first (what happened, and to tell the
// teacher), then the details for the adult who comes to help, each box its
// own. The closing box, which says nothing of the log, is not one of them.

// At start-up, about the setting or the place it names (`details`).
QString startupNotice(const QString &details);

// When saving failed and may be tried again.
QString retryNotice(const QString &logName, const QString &reason);

// Once saving is over, where the record did not go to the log; empty when
// it did.
QString savedElsewhereNotice(const SaveOutcome &saved);
