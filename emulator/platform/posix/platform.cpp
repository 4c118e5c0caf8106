#include "emulator/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace satemu {

std::string LibraryFolder() {
    Dl_info info{};
    // The address of a function of this library names the library's own file.
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || !info.dli_fname) {
        return {};
    }
    const std::string file = info.dli_fname;
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

bool FolderIsWritable(const std::string& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string UserStateFolder() {
    // The XDG base directory rules: only an absolute XDG_STATE_HOME counts.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') {
        return std::string(state) + "/dllsat";
    }
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') {
        return std::string(home) + "/.local/state/dllsat";
    }
    return {};
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value) {
        return std::nullopt;
    }
    return std::string(value);
}

bool ReplaceFile(const std::string& temporary, const std::string& target) {
    return std::rename(temporary.c_str(), target.c_str()) == 0;
}

std::optional<FileStamp> StampOfFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.identity = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.changedNanoseconds =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

ProcessLock::ProcessLock(const std::string& path) {
    // 0666 less the umask, like the device's other files: in a folder shared
    // by a group (a default ACL) the group's members share the lock too.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return;
    }
    // flock locks belong to the open file: the kernel drops them when a
    // process dies, so a crashed program never leaves the device locked.
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return;
        }
    }
    handle_ = fd;
}

ProcessLock::~ProcessLock() {
    if (handle_ >= 0) {
        close(static_cast<int>(handle_));
    }
}

char PathSeparator() {
    return '/';
}

} // namespace satemu
