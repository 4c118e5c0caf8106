#include "emulator/platform.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace {

std::string Failure(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

bool IsSymbolicLink(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool WriteFileDurably(const std::string& target, std::string_view contents, std::string& error) {
    static std::atomic<unsigned> counter{0};
    if (IsSymbolicLink(target)) {
        error = target + ": a symbolic link, not written through";
        return false;
    }
    const std::string temporary = target + std::string(kTemporaryMark) + std::to_string(getpid()) +
                                  "." + std::to_string(++counter);
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0660);
    if (fd < 0) {
        error = Failure(temporary, errno);
        return false;
    }
    // A file shared by several users keeps its group and mode.
    struct stat old {};
    if (stat(target.c_str(), &old) == 0) {
        (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        (void)!fchmod(fd, old.st_mode & 0660);
    }
    const bool written = WriteAll(fd, contents) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        error = Failure(temporary, written ? errno : writeError);
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = Failure(target, errno);
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = folder >= 0 && fsync(folder) == 0;
    const int syncError = errno;
    if (folder >= 0) {
        close(folder);
    }
    if (!synced) {
        error = Failure(FolderOf(target), syncError);
        return false;
    }
    return true;
}

bool AppendToFile(const std::string& path, std::string_view contents, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0660);
    if (fd < 0) {
        error = Failure(path, errno);
        return false;
    }
    const bool written = WriteAll(fd, contents);
    const int writeError = errno;
    if (close(fd) != 0 || !written) {
        error = Failure(path, written ? errno : writeError);
        return false;
    }
    return true;
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
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0660);
    if (fd >= 0) {
        // Made here: group-writable whatever the umask, in the state
        // folder's group, so every user sharing the device can lock it.
        struct stat folder {};
        if (stat(FolderOf(path).c_str(), &folder) == 0) {
            (void)!fchown(fd, static_cast<uid_t>(-1), folder.st_gid);
        }
        (void)!fchmod(fd, 0660);
    } else if (errno == EEXIST) {
        fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) {
        outcome_ = errno == ENOENT || errno == ENOTDIR ? Outcome::NoFolder : Outcome::Busy;
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
    outcome_ = Outcome::Held;
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
