// dravovexa-sat-host: the SAT library in a process of its own. The program
// and the command line start it beside themselves and talk to it over its
// standard input and output (sat/host_protocol.h); it is not meant to be
// started by hand.

#include "sat/platform/host_process.h"
#include "sat/sat_host_server.h"

int main() {
    platform::ParentPipe pipe = platform::ParentPipe::TakeOver();
    return ServeSatLibrary(pipe);
}
