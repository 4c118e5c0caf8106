// The SAT library in dravovexa-sat-host: every call is one request frame and
// one answer frame over the host's pipes. When the host ends during a call
// (a crash, or the program ended it) the call throws SatHostEnded and the
// next call starts a fresh host, which loads the same library again.

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

#include "sat/host_protocol.h"
#include "sat/library_access.h"
#include "sat/platform/host_process.h"
#include "sat/platform/huge_pages.h"
#include "sat/platform/program_folder.h"

namespace {

// The memory an answer frame is read into, not filled with zeros first: it
// is written once, front to back, by the read. Its pages are fresh, and a
// log's tens of MB would cost a page fault every 4 KiB, so a large frame
// starts and ends on huge page frames and asks for huge pages before its
// first byte is written.
struct FrameDelete {
    bool onHugePageFrames = false;
    void operator()(char* bytes) const {
        if (onHugePageFrames) {
            ::operator delete[](bytes, std::align_val_t{platform::kHugePageFrame});
        } else {
            ::operator delete[](bytes);
        }
    }
};
using FrameBytes = std::unique_ptr<char[], FrameDelete>;

FrameBytes ReserveFrame(std::size_t size) {
    if (size < platform::kHugePageWorthwhile) {
        return FrameBytes(static_cast<char*>(::operator new[](size)));
    }
    constexpr std::size_t kFrame = platform::kHugePageFrame;
    const std::size_t whole = (size + kFrame - 1) / kFrame * kFrame;
    FrameBytes bytes(static_cast<char*>(::operator new[](whole, std::align_val_t{kFrame})),
                     FrameDelete{true});
    platform::PreferHugePages(bytes.get(), whole);
    return bytes;
}

class HostedLibrary final : public SatLibraryAccess {
public:
    explicit HostedLibrary(std::string hostProgramPath) : hostPath_(std::move(hostProgramPath)) {}

    ~HostedLibrary() override {
        const std::lock_guard lock(mutex_);
        process_.reset(); // ends the host and waits for it
    }

    bool Load(const std::string& fullPath, std::string& error) override {
        libraryPath_ = fullPath;
        loaded_ = false;
        try {
            return StartAndLoad(error);
        } catch (const SatHostEnded& ended) {
            error = ended.what();
            return false;
        }
    }

    bool Loaded() const override { return loaded_; }

    bool HasExport(SatExport which) const override {
        return loaded_ && (exports_ & (1u << static_cast<unsigned>(which))) != 0;
    }

    SatLibraryAnswer Call(SatExport which, std::span<const SatArgument> arguments) override {
        ReleaseAnswer();
        if (!Running()) {
            std::string error;
            if (!StartAndLoad(error)) {
                throw std::runtime_error(error);
            }
        }
        Exchange(host_protocol::CallRequest(which, arguments));
        const std::string_view frame = Answer();
        if (frame.front() == host_protocol::kNoAnswer) {
            return {};
        }
        if (frame.front() != host_protocol::kAnswer) {
            Broken();
        }
        return {true, frame.substr(1)};
    }

    void ReleaseAnswer() override {
        // Never under a running exchange: an operation refused while another
        // call runs still ends by releasing, and the buffer is being filled.
        const std::lock_guard lock(mutex_);
        if (!exchanging_) {
            answer_.reset();
            answerSize_ = 0;
        }
    }

    void Abandon() override {
        const std::lock_guard lock(mutex_);
        if (exchanging_ && process_) {
            abandoned_ = true;
            process_->Kill();
        }
    }

private:
    bool Running() {
        const std::lock_guard lock(mutex_);
        return process_ != nullptr;
    }

    // Starts a host when none runs and has it load the library.
    bool StartAndLoad(std::string& error) {
        if (!Running()) {
            auto started = platform::HostProcess::Start(hostPath_, error);
            if (!started) {
                return false;
            }
            const std::lock_guard lock(mutex_);
            process_ = std::move(started);
        }
        Exchange(host_protocol::LoadRequest(libraryPath_));
        const std::string_view frame = Answer();
        if (frame.front() == host_protocol::kLoadFailed) {
            error = frame.substr(1);
            ReleaseAnswer();
            return false;
        }
        if (frame.front() != host_protocol::kLoad || frame.size() != 5) {
            Broken();
        }
        exports_ = host_protocol::ReadUint32(frame.data() + 1);
        loaded_ = true;
        ReleaseAnswer();
        return true;
    }

    std::string_view Answer() const { return {answer_.get(), answerSize_}; }

    // Sends one request and reads its answer frame into answer_, straight
    // from the pipe into a buffer of the frame's size: a log of tens of MB is
    // held once and written once, and decoded where it was read.
    void Exchange(const std::string& request) {
        {
            const std::lock_guard lock(mutex_);
            exchanging_ = true;
            abandoned_ = false;
        }
        std::string frame;
        host_protocol::AppendUint32(frame, static_cast<std::uint32_t>(request.size()));
        frame += request;
        char length[4];
        bool ok = process_->WriteAll(frame.data(), frame.size());
        std::string().swap(frame);
        ok = ok && process_->ReadExact(length, sizeof length);
        std::uint32_t size = ok ? host_protocol::ReadUint32(length) : 0;
        if (ok && (size == 0 || size > host_protocol::kMaxFrameSize)) {
            ok = false;
            process_->Kill();
        }
        if (ok) {
            ReserveAnswer(size);
            answerSize_ = size;
            ok = process_->ReadExact(answer_.get(), size);
        }
        if (!ok) {
            answer_.reset();
            answerSize_ = 0;
            Ended();
        }
        const std::lock_guard lock(mutex_);
        exchanging_ = false;
    }

    // A buffer for an answer frame of `size` bytes. When there is no memory
    // for it, the frame stays unread in the pipe, and the next answer would
    // be read from its middle: that host is ended and forgotten (the next
    // call starts a fresh one) before the failure goes on to the caller.
    void ReserveAnswer(std::size_t size) {
        try {
            answer_ = ReserveFrame(size);
        } catch (const std::bad_alloc&) {
            process_->Kill();
            process_->WaitForEnd();
            const std::lock_guard lock(mutex_);
            exchanging_ = false;
            process_.reset();
            throw;
        }
    }

    // The host is gone: it is waited for and forgotten, and the call throws.
    [[noreturn]] void Ended() {
        const std::string how = process_->WaitForEnd();
        bool abandoned = false;
        {
            const std::lock_guard lock(mutex_);
            abandoned = abandoned_;
            exchanging_ = false;
            process_.reset();
        }
        // The library stays known as loaded: the next call starts a fresh
        // host that loads it again.
        throw SatHostEnded(
            abandoned ? SatHostEnded::Cause::Abandoned : SatHostEnded::Cause::Crashed, how);
    }

    // An answer the protocol does not know: the host is not trusted further.
    [[noreturn]] void Broken() {
        process_->Kill();
        ReleaseAnswer();
        Ended();
    }

    const std::string hostPath_;
    std::string libraryPath_;
    std::uint32_t exports_ = 0;
    bool loaded_ = false;
    FrameBytes answer_; // the last answer frame
    std::size_t answerSize_ = 0;

    // process_ and the flags are read by Abandon on another thread.
    std::mutex mutex_;
    std::unique_ptr<platform::HostProcess> process_;
    bool exchanging_ = false;
    bool abandoned_ = false;
};

} // namespace

std::unique_ptr<SatLibraryAccess> MakeHostedLibrary(std::string hostProgramPath) {
    return std::make_unique<HostedLibrary>(std::move(hostProgramPath));
}

std::string SatHostPathBesideProgram() {
#if defined(_WIN32)
    return platform::ProgramFolder() + "dravovexa-sat-host.exe";
#else
    return platform::ProgramFolder() + "dravovexa-sat-host";
#endif
}
