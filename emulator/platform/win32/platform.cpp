#include "emulator/platform.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

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

namespace {

std::string Failure(const std::string& path) {
    return path + ": Windows error " + std::to_string(GetLastError());
}

// WriteFile takes at most a DWORD at a time and may write less.
bool WriteAll(HANDLE file, std::string_view contents) {
    while (!contents.empty()) {
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
        if (WriteFile(file, contents.data(), chunk, &done, nullptr) == 0) {
            return false;
        }
        contents.remove_prefix(done);
    }
    return true;
}

} // namespace

bool IsSymbolicLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool WriteFileDurably(const std::string& target, std::string_view contents, std::string& error) {
    static std::atomic<unsigned> counter{0};
    if (IsSymbolicLink(target)) {
        error = target + ": a symbolic link, not written through";
        return false;
    }
    const std::string temporary = target + std::string(kTemporaryMark) +
                                  std::to_string(GetCurrentProcessId()) + "." +
                                  std::to_string(++counter);
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = Failure(temporary);
        return false;
    }
    bool written = WriteAll(file, contents);
    written = written && FlushFileBuffers(file) != 0;
    if (!written) {
        error = Failure(temporary);
    }
    CloseHandle(file);
    if (!written) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    // MOVEFILE_WRITE_THROUGH returns only once the move is on the disk.
    if (!MoveFileExA(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = Failure(target);
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool AppendToFile(const std::string& path, std::string_view contents, std::string& error) {
    if (IsSymbolicLink(path)) {
        error = path + ": a symbolic link, not written through";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = Failure(path);
        return false;
    }
    bool written = WriteAll(file, contents);
    if (!written) {
        error = Failure(path);
    }
    CloseHandle(file);
    return written;
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
        const DWORD error = GetLastError();
        outcome_ = error == ERROR_PATH_NOT_FOUND ? Outcome::NoFolder : Outcome::Busy;
        return;
    }
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    outcome_ = Outcome::Held;
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
