#include "emulator/emulator_settings.h"

#include "emulator/document_numbers.h"
#include "emulator/platform.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace satemu {
namespace {

// dllsat-state.txt beside the library; where that folder cannot be written
// (a library installed in a system folder, used by a normal user), in the
// user's own state folder, so that every user still has a working device.
// A system install (the Debian package) never writes beside the library,
// for root neither: its device is the machine's one in
// DVT_MACHINE_EMULATOR_FOLDER, or the user's own for a user who cannot
// write there.
std::string DefaultStatePath() {
#if defined(DVT_MACHINE_EMULATOR_FOLDER)
    std::string folder = DVT_MACHINE_EMULATOR_FOLDER;
#else
    const std::string library = LibraryFolder();
    std::string folder = library.empty() ? std::string(".") : library;
#endif
    if (!FolderIsWritable(folder)) {
        const std::string user = UserStateFolder();
        std::error_code error;
        if (!user.empty()) {
            std::filesystem::create_directories(user, error);
            if (FolderIsWritable(user)) {
                folder = user;
            }
        }
    }
    return folder + PathSeparator() + "dllsat-state.txt";
}

} // namespace

EmulatorSettings ReadEmulatorSettings() {
    EmulatorSettings settings;
    const auto state = EnvironmentValue("DVT_SAT_STATE");
    if (state && !state->empty()) {
        settings.statePath = *state;
    } else {
        settings.statePath = DefaultStatePath();
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
