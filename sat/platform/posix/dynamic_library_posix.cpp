#include <dlfcn.h>

#include <cstring>

#include "sat/platform/dynamic_library.h"

namespace platform {

LibraryLoadResult LoadLibraryByPath(const std::string& fullPath) {
    if (fullPath.empty() || fullPath.front() != '/') {
        return {nullptr, "not an absolute path: \"" + fullPath + "\""};
    }
    dlerror(); // forget any earlier error so the text below is this call's
    void* handle = dlopen(fullPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        return {nullptr, error != nullptr ? error : "dlopen failed: " + fullPath};
    }
    return {handle, {}};
}

ExportAddress FindLibraryExport(LibraryHandle handle, const char* exportName) {
    if (handle == nullptr || exportName == nullptr) {
        return nullptr;
    }
    void* symbol = dlsym(handle, exportName);
    // POSIX guarantees that an object pointer from dlsym can hold a function
    // address; copying the bits avoids a cast the language leaves optional.
    ExportAddress address = nullptr;
    static_assert(sizeof address == sizeof symbol);
    std::memcpy(&address, &symbol, sizeof address);
    return address;
}

} // namespace platform
