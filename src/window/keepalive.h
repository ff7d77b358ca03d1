#pragma once

#include <functional>

// Runs `job` on a thread of its own while this thread keeps the windows
// painted, showing a wait cursor once it lasts long enough to be noticed:
// a results log held by another program may take seconds to give way, and
// a window that stops painting looks broken to a pupil. What the pupil
// types meanwhile is not handled. Returns when `job` has returned.
void runKeepingWindowsAlive(const std::function<void()> &job);
