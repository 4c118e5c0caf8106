#include "sat/platform/host_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <cstring>
#include <mutex>

extern char** environ;

namespace platform {

struct HostProcess::State {
    pid_t pid = -1;
    int toHost = -1;
    int fromHost = -1;
    std::mutex mutex; // guards `reaped` against a kill of a reused pid
    bool reaped = false;
    std::string end;
};

namespace {

bool WriteAllTo(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReadExactFrom(int fd, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::read(fd, data, size);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return false;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

// Both parts in as few calls as the pipe takes them: a short answer goes in
// one call and wakes the parent once.
bool WriteBothTo(int fd, std::string_view head, std::string_view body) {
    iovec parts[2] = {{const_cast<char*>(head.data()), head.size()},
                      {const_cast<char*>(body.data()), body.size()}};
    iovec* next = parts;
    int left = 2;
    while (left > 0) {
        const ssize_t written = ::writev(fd, next, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        auto done = static_cast<std::size_t>(written);
        while (left > 0 && done >= next->iov_len) {
            done -= next->iov_len;
            ++next;
            --left;
        }
        if (left > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + done;
            next->iov_len -= done;
        }
    }
    return true;
}

#if defined(__linux__)
// Below this an answer is copied into the pipe: lending its pages costs more
// than copying a few of them.
constexpr std::size_t kLentFrom = std::size_t{256} << 10;

// The pipe takes references to the pages of `data` and the parent's read
// copies straight out of them: one copy of a log instead of two. Where they
// cannot be lent (the output is not a pipe, the system is short of memory)
// the rest is written as usual.
bool LendAllTo(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        iovec part{const_cast<char*>(data), size};
        const ssize_t lent = ::vmsplice(fd, &part, 1, 0);
        if (lent < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno != EPIPE && WriteAllTo(fd, data, size);
        }
        data += lent;
        size -= static_cast<std::size_t>(lent);
    }
    return true;
}
#endif

// A pipe as large as the system lets this user have, up to 1 MiB: a log of
// tens of MB then crosses in fewer, larger steps, with fewer wake-ups of
// both processes. Where even less is refused the pipe keeps its size.
void EnlargePipe(int fd) {
#if defined(F_SETPIPE_SZ)
    for (int size = 1 << 20; size > (1 << 16); size /= 2) {
        if (::fcntl(fd, F_SETPIPE_SZ, size) >= 0) {
            return;
        }
    }
#else
    (void)fd;
#endif
}

void CloseIfOpen(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

std::string DescribeStatus(int status) {
    if (WIFSIGNALED(status)) {
        return "sinal " + std::to_string(WTERMSIG(status));
    }
    return "código de saída " + std::to_string(WEXITSTATUS(status));
}

} // namespace

HostProcess::HostProcess(std::unique_ptr<State> state) : state_(std::move(state)) {}

std::unique_ptr<HostProcess> HostProcess::Start(const std::string& programPath,
                                                std::string& error) {
    // Writing to a host that has just died must fail with EPIPE, not end the
    // program with SIGPIPE.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        ::signal(SIGPIPE, SIG_IGN);
    }
    int toHost[2];
    int fromHost[2];
    if (::pipe2(toHost, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (::pipe2(fromHost, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        ::close(toHost[0]);
        ::close(toHost[1]);
        return nullptr;
    }
    EnlargePipe(toHost[1]);
    EnlargePipe(fromHost[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHost[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromHost[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(programPath.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, programPath.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toHost[0]);
    ::close(fromHost[1]);
    if (spawned != 0) {
        error = programPath + ": " + std::strerror(spawned);
        ::close(toHost[1]);
        ::close(fromHost[0]);
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->pid = pid;
    state->toHost = toHost[1];
    state->fromHost = fromHost[0];
    return std::unique_ptr<HostProcess>(new HostProcess(std::move(state)));
}

HostProcess::~HostProcess() {
    CloseIfOpen(state_->toHost);
    Kill();
    WaitForEnd();
    CloseIfOpen(state_->fromHost);
}

bool HostProcess::WriteAll(const char* data, std::size_t size) {
    return WriteAllTo(state_->toHost, data, size);
}

bool HostProcess::ReadExact(char* data, std::size_t size) {
    return ReadExactFrom(state_->fromHost, data, size);
}

void HostProcess::Kill() {
    const std::lock_guard lock(state_->mutex);
    if (!state_->reaped) {
        ::kill(state_->pid, SIGKILL);
    }
}

std::string HostProcess::WaitForEnd() {
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->reaped) {
            return state_->end;
        }
    }
    // Waited for without reaping, so a Kill meanwhile still aims at our host
    // and never at a process that took its number.
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(state_->pid), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    const std::lock_guard lock(state_->mutex);
    if (!state_->reaped) {
        int status = 0;
        while (::waitpid(state_->pid, &status, 0) < 0 && errno == EINTR) {
        }
        state_->reaped = true;
        state_->end = DescribeStatus(status);
    }
    return state_->end;
}

ParentPipe ParentPipe::TakeOver() {
    const int in = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    const int out = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing >= 0) {
        ::dup2(nothing, STDIN_FILENO);
        ::close(nothing);
    }
#if defined(__linux__)
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // A parent that died before the line above left no one to read: the
    // next read of the pipe ends the host.
    ::signal(SIGPIPE, SIG_IGN);
    return ParentPipe(in, out);
}

bool ParentPipe::WriteAll(const char* data, std::size_t size) {
    return WriteAllTo(static_cast<int>(out_), data, size);
}

bool ParentPipe::WriteLent(std::string_view head, std::string_view body) {
    const int fd = static_cast<int>(out_);
#if defined(__linux__)
    if (body.size() >= kLentFrom) {
        return WriteAllTo(fd, head.data(), head.size()) && LendAllTo(fd, body.data(), body.size());
    }
#endif
    return WriteBothTo(fd, head, body);
}

bool ParentPipe::ReadExact(char* data, std::size_t size) {
    return ReadExactFrom(static_cast<int>(in_), data, size);
}

} // namespace platform
