#pragma once
// The command line's wait for the SAT library. Without a limit every library
// step runs right here, as the core does by default. With --tempo-limite the
// steps run on one library thread (always the same one) and a step that
// outlasts the limit ends the program at once with kExitTimeLimit and a
// message on standard error: a hung device cannot be interrupted, only left.

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

    // From now on each library step may take at most `limit`.
    void SetTimeLimit(std::chrono::seconds limit);

    void RunLibraryCall(const std::function<void()>& step) override;

private:
    std::ostream& stream_;
    std::chrono::seconds limit_{0};
    std::unique_ptr<SatLibraryThread> thread_;
};
