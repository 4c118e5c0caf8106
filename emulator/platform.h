#pragma once
// What the emulator needs from the operating system, one file per platform
// (platform/posix, platform/win32).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// Writes `contents` in full under a temporary name of its own beside
// `target` (created exclusively, never through a symbolic link), flushes it
// to the disk, puts it in the place of `target` in one step and flushes the
// folder: once this returns true the new contents survive a power cut. A
// symbolic link at `target` is refused. On failure the old file is untouched
// and `error` says why.
bool WriteFileDurably(const std::string& target, std::string_view contents, std::string& error);

// Appends to the file at `path`, made when missing; a symbolic link there is
// refused, never written through.
bool AppendToFile(const std::string& path, std::string_view contents, std::string& error);

// True when `path` is a symbolic link (the device neither reads nor writes
// through one in its folder).
bool IsSymbolicLink(const std::string& path);

// The mark in the names of WriteFileDurably's temporary files: "<target>" +
// kTemporaryMark + a number of their own. One left by a process that died
// while writing can be removed by whoever holds the device's ProcessLock.
inline constexpr std::string_view kTemporaryMark = ".new.";

// What tells one version of a file from another: its identity (a file put
// in place by WriteFileDurably is a new one), size and time of last change.
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
// other processes using the same device wait for each other's commands. The
// lock file is made readable and writable by the state folder's group, so
// users sharing a device can all take it. A command goes on only Held.
class ProcessLock {
public:
    enum class Outcome {
        Held,
        Busy,     // the lock exists but cannot be had (another user's, a failure)
        NoFolder, // the state's folder is not there: nothing can be saved either
    };
    explicit ProcessLock(const std::string& path);
    ~ProcessLock();
    Outcome Result() const { return outcome_; }
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

private:
    std::intptr_t handle_ = -1;
    Outcome outcome_ = Outcome::Busy;
};

// The path separator of the platform.
char PathSeparator();

} // namespace satemu
