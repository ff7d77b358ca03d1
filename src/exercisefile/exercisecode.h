#pragma once

#include <QString>
#include <QStringList>

// A code for a new exercise. A code is never used again for other content:
// records already written under it would meet new prompts or a new key. So
// the proposal comes after every code `used` (the exercises' files, and
// the codes the results logs hold, those of deleted exercises included),
// never the built-in one's (202); only once 999 is taken does it look for
// the lowest code nothing uses. Empty when all thousand are used.
QString proposeExerciseCode(const QStringList &used);
