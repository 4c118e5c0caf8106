#include <cstdlib>

#include "sat/platform/user_config_folder.h"

namespace platform {

// The roaming application data folder, which every user session sets; the
// same folder the system's write redirection of old programs sits beside.
std::string UserConfigFolder() {
    const char* appData = std::getenv("APPDATA");
    if (appData == nullptr || *appData == '\0') {
        return {};
    }
    std::string folder(appData);
    if (folder.back() != '\\' && folder.back() != '/') {
        folder.push_back('\\');
    }
    return folder + "dravovexa\\";
}

} // namespace platform
