#pragma once
// One long-lived thread that makes the calls of the SAT library, always the
// same one: some makers' libraries keep state per calling thread, so the
// library is loaded and every entry point called from here. One call at a
// time; the caller decides how to wait (the window keeps painting, the
// command line may give up after a time limit).

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class SatLibraryThread {
public:
    using Task = std::function<void()>;

    SatLibraryThread();
    // Waits for a running call to end, then joins the thread: nothing is
    // left running that could touch this object afterwards. Whoever owns a
    // call that may never return ends it first (the library host is ended).
    ~SatLibraryThread();

    SatLibraryThread(const SatLibraryThread&) = delete;
    SatLibraryThread& operator=(const SatLibraryThread&) = delete;

    // Starts `call` on the thread. `finished` runs on the thread right after
    // it, also when it threw; it must be safe to run there (a queued signal,
    // a flag). Waits for an earlier call to end first.
    void Start(Task call, Task finished = {});

    // Waits until the started call is over, at most `limit` when given.
    // True when it is over (and then rethrows what the call threw); false
    // when the limit passed first. True at once when nothing was started.
    bool Wait(std::optional<std::chrono::milliseconds> limit = std::nullopt);

    // True while a started call has not returned.
    bool Busy() const;

    // True when called from the library thread itself.
    bool IsLibraryThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void Loop();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Task call_;
    Task finished_;
    bool pending_ = false; // a call waits to be taken
    bool running_ = false; // a call has been taken and not finished
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};
