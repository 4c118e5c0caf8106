#include <windows.h>

#include <vector>

#include "sat/platform/program_folder.h"

namespace platform {

std::string ProgramFolder() {
    // GetModuleFileNameA fills the whole buffer when the path does not fit,
    // so grow it until the result is shorter than the buffer.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            const std::string path(buffer.data(), length);
            const std::size_t separator = path.find_last_of("\\/");
            return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
