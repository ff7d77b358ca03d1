#pragma once

#include "offered/offer.h"

#include <QStringList>

// Where the class's exercises are: the folder that key `folder` of group
// `exercises` names in the machine's setting alone, so that no pupil can
// point it elsewhere (on Windows the value `folder` of the Policies key
// ...\Policies\morvel2\morvel2\exercises, as the policy template sets it).
// It holds the teacher's exercise files and the teacher's choice of them;
// pupils only read it. Every file is read as logfile/teachersfile.h reads a
// teacher's file: a file the rule refuses is left out, with why.

// This machine's offer, looked for in `sources` (machineSettingSources()
// by default).
Offer offeredExercises();
Offer offeredExercises(const QStringList &sources);
