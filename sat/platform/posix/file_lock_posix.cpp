#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "sat/platform/file_lock.h"

namespace platform {

// flock locks belong to the open file, so two objects in one process exclude
// each other as well as two processes do; the kernel drops the lock when the
// descriptor closes, also when the process is killed.
ExclusiveFileLock::ExclusiveFileLock(const std::string& lockFilePath) {
    const int fd = open(lockFilePath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = std::system_category().message(errno);
        return;
    }
    file_ = fd;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            error_ = std::system_category().message(errno);
            return;
        }
    }
    held_ = true;
}

ExclusiveFileLock::~ExclusiveFileLock() {
    if (file_ >= 0) {
        close(static_cast<int>(file_)); // also releases the lock
    }
}

} // namespace platform
