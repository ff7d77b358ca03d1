#pragma once

#include "reading/readingsettings.h"

#include <functional>

class QWidget;

// The whole program: its command line, or the exercise window until the
// exercise ends; returns the exit status. `beforeShow` sees the window just
// before it is shown (a benchmark's probe); `reading` is the pupil's reading
// settings (a benchmark's or a screenshot's adapted page).
int runProgram(int argc, char *argv[], const std::function<void(QWidget &)> &beforeShow = {},
               const ReadingSettings &reading = {});
