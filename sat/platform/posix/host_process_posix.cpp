#include "sat/platform/host_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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
#if defined(F_SETPIPE_SZ)
    // A larger pipe moves a log of tens of MB in fewer, larger steps (fewer
    // wake-ups of both processes); the system's limit caps it.
    ::fcntl(fromHost[0], F_SETPIPE_SZ, 1 << 20);
#endif
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

bool ParentPipe::ReadExact(char* data, std::size_t size) {
    return ReadExactFrom(static_cast<int>(in_), data, size);
}

} // namespace platform
