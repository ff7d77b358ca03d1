#pragma once

// The end of the session, for the whole process. Installed once, before the
// window: a logout (SIGTERM), a closed terminal (SIGHUP), Ctrl+C (SIGINT),
// any other signal that would end the program (SIGQUIT, SIGUSR1, SIGPIPE,
// SIGALRM...) and the display going away (the toolkit then calls exit())
// rescue the record
// that waits to be saved, if any (saving/pendingrecord.h), and end the
// program with status 1; without one they do what they would have done. A
// signal the program was started immune to (nohup) stays ignored. Past a
// file-size limit a write fails with EFBIG rather than killing the program.
// On Windows the session's end comes as the toolkit's request to commit
// data, and exit() is watched the same way.
void guardSession();
