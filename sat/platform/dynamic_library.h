#pragma once
// Loading a shared library and looking its exports up by name.
// Posix: dlopen/dlsym. Windows: LoadLibraryA/GetProcAddress.

#include <string>

namespace platform {

// Opaque handle of a loaded library; null when nothing is loaded.
using LibraryHandle = void*;

// Address of an export. Callers cast it to the export's real function
// pointer type; void(*)() is the type that every function pointer converts
// to and from without a warning.
using ExportAddress = void (*)();

struct LibraryLoadResult {
    LibraryHandle handle = nullptr;
    // The platform's own text (dlerror, FormatMessage) when handle is null.
    std::string error;
};

// Loads the library at fullPath. Only an absolute path is accepted: a bare
// file name would make the platform search its library paths and could load
// some other library of the same name. Loading the same file again returns
// the same handle. The library is never released.
LibraryLoadResult LoadLibraryByPath(const std::string& fullPath);

// The export named exactly exportName (case-sensitive), or null when the
// library does not export it or handle is null.
ExportAddress FindLibraryExport(LibraryHandle handle, const char* exportName);

} // namespace platform
