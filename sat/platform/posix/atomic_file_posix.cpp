#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "sat/platform/atomic_file.h"

namespace platform {

namespace {

std::string ErrorText(int error) {
    return std::system_category().message(error);
}

FileWriteResult Failure(std::string error) {
    return {false, std::move(error)};
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The file a symbolic link points to, so that replacing it keeps the link.
std::string ResolveLink(const std::string& path) {
    struct stat linkInfo {};
    if (lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
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

// A name beside the target that no other writer uses at the same moment.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + std::string(kTemporaryFileSuffix) + std::to_string(getpid()) + "-" +
           std::to_string(counter++);
}

} // namespace

FileWriteResult ReplaceFileAtomically(const std::string& requestedPath, std::string_view contents) {
    const std::string path = ResolveLink(requestedPath);

    mode_t mode = 0666; // the process umask trims it for a new file
    bool exists = false;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return Failure(ErrorText(EISDIR));
        }
        // Root passes access(), so the bits themselves decide read-only.
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            access(path.c_str(), W_OK) != 0) {
            return Failure("read-only file");
        }
        mode = info.st_mode & 07777;
        exists = true;
    } else if (errno != ENOENT) {
        return Failure(ErrorText(errno));
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryNameFor(path);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) {
            return Failure(ErrorText(errno));
        }
    }
    if (fd < 0) {
        return Failure(ErrorText(EEXIST));
    }

    const auto abandon = [&](int error) {
        close(fd);
        unlink(temporary.c_str());
        return Failure(ErrorText(error));
    };
    // open() applied the umask; an existing file keeps its exact bits.
    if (exists && fchmod(fd, mode) != 0) {
        return abandon(errno);
    }
    if (!WriteAll(fd, contents) || fsync(fd) != 0) {
        return abandon(errno);
    }
    if (close(fd) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return Failure(ErrorText(error));
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return Failure(ErrorText(error));
    }

    // Make the rename itself durable. The new contents are already in place,
    // so a folder that cannot be flushed is not reported as a failed write.
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return {true, {}};
}

} // namespace platform
