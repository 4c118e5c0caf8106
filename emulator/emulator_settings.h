#pragma once
// The emulator's environment variables, read afresh on every call so that a
// test or a demonstration can change them between two calls.
//
//   DVT_SAT_STATE        path of the state file (default: dllsat-state.txt
//                        beside the library, or in the user's state folder
//                        when the library's folder cannot be written); the
//                        event log is that path plus ".log"
//   DVT_SAT_MODE         "kit": a device without a state file starts as a
//                        developer kit; anything else: factory-fresh
//   DVT_SAT_CLOCK        AAAAMMDDhhmmss (fixed device time) or +N / -N
//                        (seconds added to the system clock)
//   DVT_SAT_DELAY_MS     milliseconds every answer takes
//   DVT_SAT_FAULT        a fault switch (see faults.h)
//   DVT_SAT_FAULT_ONLY   comma-separated export names the fault applies to
//                        (default: every function with a session number)
//   DVT_SAT_OFFLINE      "1": network cable unplugged, SEFAZ unreachable

#include "emulator/faults.h"

#include <cstdint>
#include <string>

namespace satemu {

struct EmulatorSettings {
    std::string statePath;
    bool developerKit = false;
    std::string clock;
    std::int64_t delayMilliseconds = 0;
    Fault fault = Fault::None;
    std::string faultOnly;
    bool offline = false;
};

EmulatorSettings ReadEmulatorSettings();

// True when the fault switch applies to the export `function`.
bool FaultAppliesTo(const EmulatorSettings& settings, std::string_view function);

} // namespace satemu
