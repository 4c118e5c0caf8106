#include "emulator/platform.h"

#include <windows.h>

// windows.h names its own ReplaceFileA "ReplaceFile"; here it is ours.
#undef ReplaceFile

namespace satemu {

std::string LibraryFolder() {
    HMODULE module = nullptr;
    // The address of a function of this library names the library's own file.
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&LibraryFolder), &module)) {
        return {};
    }
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::string file(path, length);
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

bool FolderIsWritable(const std::string& folder) {
    // Access rights on Windows are only known by trying: a file that is
    // removed again when its handle closes.
    const std::string probe = folder + "\\dllsat-write-probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string UserStateFolder() {
    const auto local = EnvironmentValue("LOCALAPPDATA");
    return local && !local->empty() ? *local + "\\dllsat" : std::string();
}

std::optional<std::string> EnvironmentValue(const char* name) {
    // The system's own call: the C run-time's _dupenv_s is missing from the
    // msvcrt.dll of older Windows.
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
            return std::nullopt;
        }
        return std::string();
    }
    std::string text(needed, '\0');
    const DWORD length = GetEnvironmentVariableA(name, text.data(), needed);
    if (length == 0 || length >= needed) {
        return std::nullopt;
    }
    text.resize(length);
    return text;
}

bool ReplaceFile(const std::string& temporary, const std::string& target) {
    return MoveFileExA(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL known = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!known) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.changedNanoseconds =
        static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
            info.ftLastWriteTime.dwLowDateTime) *
        100;
    return stamp;
}

ProcessLock::ProcessLock(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

ProcessLock::~ProcessLock() {
    if (handle_ != -1) {
        // Closing the handle releases the lock.
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

char PathSeparator() {
    return '\\';
}

} // namespace satemu
