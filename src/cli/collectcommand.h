#pragma once

#include "saving/logsetting.h"

#include <QString>

class QIODevice;

// morvel2 --collect DESTINATION: the log the setting names moved to a file,
// or a whole class's logs into a folder, what collectScopeFor() allows;
// said in French on `out` and `err`. The exit status: 0 done, 1 failed or
// something left in place.
int runCollect(const LogLocation &log, const QString &destination, QIODevice &out, QIODevice &err);
