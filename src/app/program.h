#pragma once

#include "reading/readingsettings.h"

#include <functional>
#include <optional>

class QWidget;

// The whole program: its command line, or the exercise window until the
// exercise ends; returns the exit status. `beforeShow` sees the window just
// before it is shown (a benchmark's probe); `reading`, when given, stands for
// the pupil's reading settings (a benchmark's or a screenshot's adapted page),
// which are otherwise read from the adaptations folder the machine's setting
// names.
int runProgram(int argc, char *argv[], const std::function<void(QWidget &)> &beforeShow = {},
               const std::optional<ReadingSettings> &reading = std::nullopt);
