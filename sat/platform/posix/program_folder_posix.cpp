#include <unistd.h>

#include <vector>

#include "sat/platform/program_folder.h"

namespace platform {

std::string ProgramFolder() {
    // readlink does not say whether it cut the path short, so grow the
    // buffer until the result fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<std::size_t>(length));
            const std::size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
