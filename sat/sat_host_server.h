#pragma once
// The library host's work: load the SAT library the program names, then make
// each call it sends and send the answer back, until the program closes the
// pipe. A library that crashes or hangs takes only this process with it.

#include "sat/platform/host_process.h"

// Serves the program over `pipe`. Returns the host's exit status: 0 when the
// program closed the pipe, 2 for a frame that breaks the protocol.
int ServeSatLibrary(platform::ParentPipe& pipe);
