#pragma once
// The command line's wait for the SAT library. Without a limit every library
// step runs right here. With --tempo-limite the steps run on one waiting
// thread and a step that outlasts the limit ends the library's host (the
// call is abandoned), then the program with kExitTimeLimit and a message on
// standard error.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>

#include "cli/message_block.h"

class SatLibraryThread;

class TimeLimitedUserInterface : public StreamUserInterface {
public:
    explicit TimeLimitedUserInterface(std::ostream& stream);
    ~TimeLimitedUserInterface() override;

    // From now on each library step may take at most `limit`; `abandon`
    // ends a step that outlasts it (from another thread).
    void SetTimeLimit(std::chrono::seconds limit, std::function<void()> abandon);
    // What ending on the time limit means to the caller: the exit status
    // (kExitTimeLimit by default) and a report made before the message on
    // standard error (a monitoring check's status line).
    void SetTimeLimitOutcome(int exitStatus, std::function<void()> report);

    void RunLibraryCall(const std::function<void()>& step) override;

private:
    std::ostream& stream_;
    std::chrono::seconds limit_{0};
    std::function<void()> abandon_;
    int timeLimitExit_;
    std::function<void()> timeLimitReport_;
    std::unique_ptr<SatLibraryThread> thread_;
};
