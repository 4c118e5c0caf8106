#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "sat/platform/user_config_folder.h"

namespace platform {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// HOME, or the home folder of the user's account when HOME is not set.
std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty()) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        home = found->pw_dir;
    }
    return home;
}

} // namespace

std::string UserConfigFolder() {
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = HomeFolder();
        if (home.empty()) {
            return {};
        }
        base = home + "/.config";
    }
    if (base.back() != '/') {
        base.push_back('/');
    }
    return base + "dravovexa/";
}

} // namespace platform
