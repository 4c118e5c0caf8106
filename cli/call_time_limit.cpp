#include "cli/call_time_limit.h"

#include <cstdlib>
#include <ostream>
#include <string>
#include <utility>

#include "cli/cli_request.h"
#include "sat/library_thread.h"

TimeLimitedUserInterface::TimeLimitedUserInterface(std::ostream& stream)
    : StreamUserInterface(stream), stream_(stream), timeLimitExit_(kExitTimeLimit) {}

TimeLimitedUserInterface::~TimeLimitedUserInterface() = default;

void TimeLimitedUserInterface::SetTimeLimit(std::chrono::seconds limit,
                                            std::function<void()> abandon) {
    limit_ = limit;
    abandon_ = std::move(abandon);
    if (!thread_) {
        thread_ = std::make_unique<SatLibraryThread>();
    }
}

void TimeLimitedUserInterface::SetTimeLimitOutcome(int exitStatus, std::function<void()> report) {
    timeLimitExit_ = exitStatus;
    timeLimitReport_ = std::move(report);
}

void TimeLimitedUserInterface::RunLibraryCall(const std::function<void()>& step) {
    if (!thread_) {
        step();
        return;
    }
    thread_->Start(step);
    if (thread_->Wait(limit_)) {
        return;
    }
    // The session number was stored before the call, so leaving now loses
    // nothing; the call itself cannot be taken back. Its host is ended, and
    // the waiting thread returns before the program ends.
    if (abandon_) {
        abandon_();
    }
    try {
        thread_->Wait();
    } catch (...) {
        // The abandoned call's own report is not wanted: the message below says it.
    }
    if (timeLimitReport_) {
        timeLimitReport_();
    }
    stream_ << "dravovexa-cli: tempo limite de " << std::to_string(limit_.count())
            << " s esgotado: a biblioteca SAT não respondeu e a operação foi abandonada.\n"
            << std::flush;
    std::_Exit(timeLimitExit_);
}
