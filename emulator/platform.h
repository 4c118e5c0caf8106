#pragma once
// What the emulator needs from the operating system, one file per platform
// (platform/posix, platform/win32).

#include <optional>
#include <string>

namespace satemu {

// The folder of the loaded library itself (not of the program that loaded
// it), without a trailing separator; empty when it cannot be found.
std::string LibraryFolder();

// The value of an environment variable, nothing when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);

// Puts `temporary` in the place of `target` in one step, replacing it.
bool ReplaceFile(const std::string& temporary, const std::string& target);

// The path separator of the platform.
char PathSeparator();

} // namespace satemu
