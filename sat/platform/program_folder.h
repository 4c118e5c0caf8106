#pragma once
// The folder of the running program's executable file, where the SAT library
// and the settings file sit.

#include <string>

namespace platform {

// The folder with its trailing separator ("/opt/dvt/bin/"), or the empty text
// when the platform cannot tell (callers then find nothing beside the program).
std::string ProgramFolder();

// The path separator of file paths on this platform.
#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

} // namespace platform
