#pragma once
// What the emulator needs from the operating system, one file per platform
// (platform/posix, platform/win32).

#include <cstdint>
#include <optional>
#include <string>

namespace satemu {

// The folder of the loaded library itself (not of the program that loaded
// it), without a trailing separator; empty when it cannot be found.
std::string LibraryFolder();

// True when this process can make and replace files in `folder`.
bool FolderIsWritable(const std::string& folder);

// The user's own folder for the device state, used when the library's folder
// cannot be written (a library installed in a system folder and used by a
// normal user); empty when the user has no known home.
std::string UserStateFolder();

// The value of an environment variable, nothing when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);

// Puts `temporary` in the place of `target` in one step, replacing it.
bool ReplaceFile(const std::string& temporary, const std::string& target);

// What tells one version of a file from another: its identity (a file put
// in place by ReplaceFile is a new one), size and time of last change.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t identity = 0;
    std::uint64_t size = 0;
    std::int64_t changedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path; nothing when there is no such file.
std::optional<FileStamp> StampOfFile(const std::string& path);

// An exclusive lock on a lock file, held until the object goes: programs in
// other processes using the same device wait for each other's commands.
// Best effort: when the lock file cannot be made, nothing is locked.
class ProcessLock {
public:
    explicit ProcessLock(const std::string& path);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

private:
    std::intptr_t handle_ = -1;
};

// The path separator of the platform.
char PathSeparator();

} // namespace satemu
