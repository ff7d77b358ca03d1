#include "app/standardstreams.h"

// A Windows program's missing standard handles are no numbers that the next
// opened file could take: nothing to do.
void openStandardStreams() {}
