#pragma once

// Some launchers start programs with standard input, output or error closed.
// The next file opened would then take that number: the display connection
// would receive warnings meant for standard error, and the rescued record
// would be written into whatever file came next. Opens /dev/null on each of
// the three that is closed; call it first thing in main().
void openStandardStreams();
