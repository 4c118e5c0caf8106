#pragma once
// Where the SAT library's calls go: into a library loaded in this process
// (the core tests) or into the library host, a process of its own
// (the program and the command line). Load and Call are raw library steps:
// they run inside SatUserInterface::RunLibraryCall, one at a time.

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sat/export_invocation.h"
#include "sat/un_funcoes_dll.h"

// The answer of one call: none for a null pointer, else the exact bytes up to
// the library's terminating NUL.
struct SatLibraryAnswer {
    bool present = false;
    std::string_view text;
};

// A call that ended without an answer because the host process ended: it
// crashed (a signal, abort, exit) or was ended on purpose (the wait was
// stopped, the time limit passed).
class SatHostEnded : public std::runtime_error {
public:
    enum class Cause { Crashed, Abandoned };
    // how: the host's end as HostProcess::WaitForEnd tells it ("sinal 11").
    SatHostEnded(Cause cause, std::string how);
    Cause cause() const { return cause_; }
    const std::string& how() const { return how_; }

private:
    Cause cause_;
    std::string how_;
};

class SatLibraryAccess {
public:
    virtual ~SatLibraryAccess() = default;

    // Loads the library at fullPath and looks its exports up. False, with the
    // platform's text in `error`, when it cannot be loaded.
    virtual bool Load(const std::string& fullPath, std::string& error) = 0;
    virtual bool Loaded() const = 0;
    virtual bool HasExport(SatExport which) const = 0;

    // One call of a loaded export. The answer stays readable until the next
    // call or ReleaseAnswer. Throws SatHostEnded when the host ended first.
    virtual SatLibraryAnswer Call(SatExport which, std::span<const SatArgument> arguments) = 0;

    // The last answer is no longer needed: the host's copy is freed. The
    // in-process answer belongs to the library and is only forgotten.
    virtual void ReleaseAnswer() {}

    // From any thread: ends the call now running, which then throws
    // SatHostEnded (Abandoned). Nothing happens in process, where a call
    // cannot be taken back.
    virtual void Abandon() {}
};

// The library loaded into this process.
std::unique_ptr<SatLibraryAccess> MakeInProcessLibrary();
// Entry points given as they are, loaded already (benchmarks, fuzzers).
std::unique_ptr<SatLibraryAccess> MakeInProcessLibrary(const SatEntryPoints& entries);

// The library loaded into dravovexa-sat-host at hostProgramPath, started at
// the first Load or Call and again after it ended.
std::unique_ptr<SatLibraryAccess> MakeHostedLibrary(std::string hostProgramPath);

// The host program's full path beside the running program.
std::string SatHostPathBesideProgram();
