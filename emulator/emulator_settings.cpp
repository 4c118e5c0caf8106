#include "emulator/emulator_settings.h"

#include "emulator/document_numbers.h"
#include "emulator/platform.h"

#include <charconv>

namespace satemu {

EmulatorSettings ReadEmulatorSettings() {
    EmulatorSettings settings;
    const auto state = EnvironmentValue("DVT_SAT_STATE");
    if (state && !state->empty()) {
        settings.statePath = *state;
    } else {
        const std::string folder = LibraryFolder();
        settings.statePath =
            (folder.empty() ? std::string(".") : folder) + PathSeparator() + "dllsat-state.txt";
    }
    settings.developerKit = EnvironmentValue("DVT_SAT_MODE").value_or("") == "kit";
    settings.clock = EnvironmentValue("DVT_SAT_CLOCK").value_or("");
    const std::string delay = EnvironmentValue("DVT_SAT_DELAY_MS").value_or("");
    if (IsDigitsBetween(delay, 1, 6)) {
        std::from_chars(delay.data(), delay.data() + delay.size(), settings.delayMilliseconds);
    }
    settings.fault = ParseFault(EnvironmentValue("DVT_SAT_FAULT").value_or(""));
    settings.faultOnly = EnvironmentValue("DVT_SAT_FAULT_ONLY").value_or("");
    settings.offline = EnvironmentValue("DVT_SAT_OFFLINE").value_or("") == "1";
    return settings;
}

bool FaultAppliesTo(const EmulatorSettings& settings, std::string_view function) {
    if (settings.fault == Fault::None) {
        return false;
    }
    if (settings.faultOnly.empty()) {
        return true;
    }
    std::string_view list = settings.faultOnly;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        if (list.substr(0, comma) == function) {
            return true;
        }
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return false;
}

} // namespace satemu
