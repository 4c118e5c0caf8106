#include "sat/library_thread.h"

#include <utility>

SatLibraryThread::SatLibraryThread() : thread_([this] { Loop(); }) {}

SatLibraryThread::~SatLibraryThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join(); // a pending call is still made: Loop stops once none is left
}

void SatLibraryThread::Start(Task call, Task finished) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_ && !running_; });
    call_ = std::move(call);
    finished_ = std::move(finished);
    failure_ = nullptr;
    pending_ = true;
    lock.unlock();
    changed_.notify_all();
}

bool SatLibraryThread::Wait(std::optional<std::chrono::milliseconds> limit) {
    std::unique_lock lock(mutex_);
    const auto over = [this] { return !pending_ && !running_; };
    if (limit) {
        if (!changed_.wait_for(lock, *limit, over)) {
            return false;
        }
    } else {
        changed_.wait(lock, over);
    }
    if (failure_) {
        std::exception_ptr failure = std::exchange(failure_, nullptr);
        lock.unlock();
        std::rethrow_exception(failure);
    }
    return true;
}

bool SatLibraryThread::Busy() const {
    const std::lock_guard lock(mutex_);
    return pending_ || running_;
}

void SatLibraryThread::Loop() {
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) {
            return; // stopping with nothing left to do
        }
        Task call = std::move(call_);
        Task finished = std::move(finished_);
        pending_ = false;
        running_ = true;
        lock.unlock();

        std::exception_ptr failure;
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }

        lock.lock();
        failure_ = failure;
        running_ = false;
        lock.unlock();
        changed_.notify_all();
        if (finished) {
            finished();
        }
    }
}
