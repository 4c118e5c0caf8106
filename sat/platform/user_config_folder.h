#pragma once
// The user's own folder for this program's settings, used when the program's
// folder cannot be written (a system-wide install run by a normal user).

#include <string>

namespace platform {

// The folder with its trailing separator: on Linux "$XDG_CONFIG_HOME/dravovexa/"
// ("~/.config/dravovexa/" when that variable is unset, empty or not an
// absolute path), on Windows the user's application data folder
// ("%APPDATA%\dravovexa\"). Empty when the platform cannot tell. The folder
// itself may not exist yet.
std::string UserConfigFolder();

} // namespace platform
