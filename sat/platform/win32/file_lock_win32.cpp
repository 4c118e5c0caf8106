#include <windows.h>

#include <system_error>

#include "sat/platform/file_lock.h"

namespace platform {

namespace {

std::string LastErrorText() {
    return std::system_category().message(static_cast<int>(GetLastError()));
}

} // namespace

// LockFileEx on the whole file; Windows releases it when the handle closes,
// also when the process is ended.
ExclusiveFileLock::ExclusiveFileLock(const std::string& lockFilePath) {
    const HANDLE file = CreateFileA(lockFilePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = LastErrorText();
        return;
    }
    file_ = reinterpret_cast<std::intptr_t>(file);
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        error_ = LastErrorText();
        return;
    }
    held_ = true;
}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (file_ == -1) {
        return;
    }
    const HANDLE file = reinterpret_cast<HANDLE>(file_);
    if (held_) {
        OVERLAPPED whole{};
        UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    }
    CloseHandle(file);
}

} // namespace platform
