#pragma once
// The SAT library host as a child process, and the host's side of the pipe
// pair that joins them. Posix: pipes, posix_spawn, waitpid, SIGKILL.
// Windows: anonymous pipes, CreateProcess, a job object, TerminateProcess.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The program's side: the host started with its standard input and output
// connected to two pipes.
class HostProcess {
public:
    // Null (and why in `error`) when the program cannot be started.
    static std::unique_ptr<HostProcess> Start(const std::string& programPath, std::string& error);

    // Ends the host when it still runs, and waits for it.
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // False when the host is gone (its pipe is closed).
    bool WriteAll(const char* data, std::size_t size);
    // Exactly `size` bytes; false when the host closed its end first.
    bool ReadExact(char* data, std::size_t size);

    // Ends the host at once. Safe from any thread, and again and again; a
    // read or write waiting on the pipe then fails.
    void Kill();

    // Waits until the host has ended and says how, in Portuguese: "sinal 11",
    // "código de saída 3" (Windows: "exceção 0xC0000005" for a crash).
    std::string WaitForEnd();

    struct State;

private:
    explicit HostProcess(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// The host's side: the pipe to its parent, taken over from the standard
// input and output when the host starts.
class ParentPipe {
public:
    // Takes the pipe over, sends what the library may print to standard
    // output to standard error instead (it would break the frames), and
    // arranges that the host ends when its parent does, also in the middle
    // of a call that never returns.
    static ParentPipe TakeOver();

    bool WriteAll(const char* data, std::size_t size);
    // Writes `head` and then `body`. The body must stay as it is until the
    // parent has read it all (an answer the library keeps until its next
    // call, which only comes with the parent's next request): Linux lends a
    // large body's pages to the pipe instead of copying them into it.
    bool WriteLent(std::string_view head, std::string_view body);
    // False at the end of the pipe: the parent has gone.
    bool ReadExact(char* data, std::size_t size);

private:
    ParentPipe(std::intptr_t in, std::intptr_t out) : in_(in), out_(out) {}
    std::intptr_t in_;
    std::intptr_t out_;
};

} // namespace platform
