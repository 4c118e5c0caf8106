#pragma once
// An exclusive lock between processes, held on a lock file. The kernel
// releases it when the holder dies, so a killed process never blocks others.

#include <cstdint>
#include <string>

namespace platform {

class ExclusiveFileLock {
public:
    // Opens lockFilePath (creating it when missing) and waits until this
    // object holds the exclusive lock on it. Check IsHeld() afterwards.
    explicit ExclusiveFileLock(const std::string& lockFilePath);
    ~ExclusiveFileLock();

    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    bool IsHeld() const { return held_; }
    // Why the lock could not be taken, in the platform's words.
    const std::string& Error() const { return error_; }

private:
    // A file descriptor on Posix, a HANDLE on Windows.
    std::intptr_t file_ = -1;
    bool held_ = false;
    std::string error_;
};

} // namespace platform
