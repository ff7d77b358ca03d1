#pragma once

#include <optional>

// What the program does with its command line, before any window: --help,
// --version and --collect FILE answer in French and end the program, without
// a display. Any other argument is refused, so that nothing a launcher adds
// (a toolkit option such as -reverse) changes what the pupil sees. Returns
// the exit status when the program should end here, nothing when the
// exercise should start.
std::optional<int> runCommandLine(int argc, char *argv[]);
