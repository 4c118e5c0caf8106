#pragma once
// The file name of the SAT library that the program loads from its own folder.

#include <string>
#include <string_view>

#include "sat/platform/program_folder.h"

namespace platform {

#if defined(_WIN32)
inline constexpr std::string_view kSatLibraryFileName = "dllsat.dll";
#else
inline constexpr std::string_view kSatLibraryFileName = "libdllsat.so";
#endif

// Full path of the SAT library beside the program; the bare file name only
// when the program folder is unknown (LoadLibraryByPath refuses that).
inline std::string SatLibraryPathBesideProgram() {
    return ProgramFolder() + std::string(kSatLibraryFileName);
}

} // namespace platform
