#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <mutex>

#include "sat/platform/host_process.h"

namespace platform {

struct HostProcess::State {
    HANDLE process = nullptr;
    HANDLE job = nullptr; // ends the host with the program, also mid-call
    HANDLE toHost = nullptr;
    HANDLE fromHost = nullptr;
    std::mutex mutex;
    bool ended = false;
    std::string end;
};

namespace {

bool WriteAllTo(HANDLE pipe, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(pipe, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool ReadExactFrom(HANDLE pipe, char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(pipe, data, chunk, &got, nullptr) || got == 0) {
            return false; // the host closed its end (ERROR_BROKEN_PIPE)
        }
        data += got;
        size -= got;
    }
    return true;
}

void CloseIfOpen(HANDLE& handle) {
    if (handle != nullptr) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

std::string LastErrorText(const std::string& what) {
    return what + ": erro " + std::to_string(GetLastError());
}

// A crash ends a Windows process with its exception code (0xC0000005 an
// access violation), a normal end with the code it gave.
std::string DescribeExitCode(DWORD code) {
    if (code >= 0xC0000000u) {
        char text[32];
        std::snprintf(text, sizeof text, "exceção 0x%08lX", static_cast<unsigned long>(code));
        return text;
    }
    return "código de saída " + std::to_string(code);
}

} // namespace

HostProcess::HostProcess(std::unique_ptr<State> state) : state_(std::move(state)) {}

std::unique_ptr<HostProcess> HostProcess::Start(const std::string& programPath,
                                                std::string& error) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE hostIn = nullptr;
    HANDLE toHost = nullptr;
    HANDLE fromHost = nullptr;
    HANDLE hostOut = nullptr;
    if (!CreatePipe(&hostIn, &toHost, &inherit, 0)) {
        error = LastErrorText(programPath);
        return nullptr;
    }
    if (!CreatePipe(&fromHost, &hostOut, &inherit, 0)) {
        error = LastErrorText(programPath);
        CloseHandle(hostIn);
        CloseHandle(toHost);
        return nullptr;
    }
    // Only the host's own ends are inherited.
    SetHandleInformation(toHost, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromHost, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = hostIn;
    startup.hStdOutput = hostOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string commandLine = "\"" + programPath + "\"";
    PROCESS_INFORMATION info{};
    const BOOL created =
        CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
    CloseHandle(hostIn);
    CloseHandle(hostOut);
    if (!created) {
        error = LastErrorText(programPath);
        CloseHandle(toHost);
        CloseHandle(fromHost);
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->job = CreateJobObjectA(nullptr, nullptr);
    if (state->job != nullptr) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(state->job, JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
        AssignProcessToJobObject(state->job, info.hProcess);
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    state->process = info.hProcess;
    state->toHost = toHost;
    state->fromHost = fromHost;
    return std::unique_ptr<HostProcess>(new HostProcess(std::move(state)));
}

HostProcess::~HostProcess() {
    CloseIfOpen(state_->toHost);
    Kill();
    WaitForEnd();
    CloseIfOpen(state_->fromHost);
    CloseIfOpen(state_->process);
    CloseIfOpen(state_->job);
}

bool HostProcess::WriteAll(const char* data, std::size_t size) {
    return WriteAllTo(state_->toHost, data, size);
}

bool HostProcess::ReadExact(char* data, std::size_t size) {
    return ReadExactFrom(state_->fromHost, data, size);
}

void HostProcess::Kill() {
    // The process handle stays open until the destructor, so it never
    // names another process.
    TerminateProcess(state_->process, 1);
}

std::string HostProcess::WaitForEnd() {
    WaitForSingleObject(state_->process, INFINITE);
    const std::lock_guard lock(state_->mutex);
    if (!state_->ended) {
        DWORD code = 0;
        GetExitCodeProcess(state_->process, &code);
        state_->ended = true;
        state_->end = DescribeExitCode(code);
    }
    return state_->end;
}

ParentPipe ParentPipe::TakeOver() {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    // What the library prints goes to standard error, not into the frames.
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, errors);
    _dup2(_fileno(stderr), _fileno(stdout));
    // A crash ends the host at once, without Windows' error report dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return ParentPipe(reinterpret_cast<std::intptr_t>(in), reinterpret_cast<std::intptr_t>(out));
}

bool ParentPipe::WriteAll(const char* data, std::size_t size) {
    return WriteAllTo(reinterpret_cast<HANDLE>(out_), data, size);
}

bool ParentPipe::WriteLent(std::string_view head, std::string_view body) {
    return WriteAll(head.data(), head.size()) && WriteAll(body.data(), body.size());
}

bool ParentPipe::ReadExact(char* data, std::size_t size) {
    return ReadExactFrom(reinterpret_cast<HANDLE>(in_), data, size);
}

} // namespace platform
