#include <windows.h>

#include <system_error>

#include "sat/platform/dynamic_library.h"

namespace platform {

namespace {

// "C:\..." or "\\server\share\..."; anything else is searched for by Windows.
bool IsAbsoluteWindowsPath(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
    return drive || unc;
}

} // namespace

LibraryLoadResult LoadLibraryByPath(const std::string& fullPath) {
    if (!IsAbsoluteWindowsPath(fullPath)) {
        return {nullptr, "not an absolute path: \"" + fullPath + "\""};
    }
    // The altered search path makes the library's own dependencies resolve
    // from its folder first, as they would beside the program.
    HMODULE module = LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        return {nullptr, std::system_category().message(static_cast<int>(GetLastError()))};
    }
    return {reinterpret_cast<LibraryHandle>(module), {}};
}

ExportAddress FindLibraryExport(LibraryHandle handle, const char* exportName) {
    if (handle == nullptr || exportName == nullptr) {
        return nullptr;
    }
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), exportName);
    return reinterpret_cast<ExportAddress>(address);
}

} // namespace platform
