#pragma once
// The frame around every exported call: one device per process, calls
// serialised, the state file loaded (again when another process changed it)
// and saved after each command, session numbers checked and kept, the event
// log written, the fault switches and the delay applied. No exception leaves
// it: a fault inside becomes the function's xx099 answer.

#include "emulator/sat_device.h"

#include <functional>
#include <string>

namespace satemu {

struct CommandTraits {
    const char* name; // export name, for the log and DVT_SAT_FAULT_ONLY
    int family;       // first two digits of its return codes
    bool checksSession = true;
};

using Command = std::function<std::string(SatDevice&, const CallContext&)>;

// The answer, owned by the calling thread and valid until its next call;
// null only under the null fault switch.
const char* RunCommand(const CommandTraits& traits, int session, const Command& command);

// VersaoDLL: the version text, without any "|".
const char* VersionText();

// DesligarSAT: the device saves its state and notes the shutdown.
const char* ShutDown();

} // namespace satemu
