#include "emulator/command_frame.h"

#include "emulator/answer_store.h"
#include "emulator/answers.h"
#include "emulator/device_clock.h"
#include "emulator/emulator_settings.h"
#include "emulator/openssl_handles.h"
#include "emulator/platform.h"
#include "emulator/state_file.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace satemu {
namespace {

// The device never reads nor writes through a symbolic link planted in the
// place of its state, its log or its answers' folder: the command fails
// (xx099) instead.
void RefuseSymbolicLinks(const std::string& statePath) {
    if (IsSymbolicLink(statePath) || IsSymbolicLink(statePath + ".log") ||
        IsSymbolicLink(statePath + ".answers")) {
        throw std::runtime_error("a symbolic link in the place of the state or its log");
    }
}

// Temporary files of the state and its log left by a process that died while
// writing them; only called under the process lock, so none is being written.
void RemoveLeftTemporaries(const std::string& statePath) {
    const std::filesystem::path path(statePath);
    const std::string prefix = path.filename().string();
    std::error_code error;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) && name.find(kTemporaryMark) != std::string::npos) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

// The one emulated device of this process, bound to the state file in use.
class DeviceHost {
public:
    std::mutex mutex;

    SatDevice& Open(const EmulatorSettings& settings, std::int64_t now, EventLog& log) {
        const auto stamp = StampOfFile(settings.statePath);
        if (!device_ || path_ != settings.statePath || stamp != stamp_) {
            Load(settings, now, log);
        }
        return *device_;
    }

    const AnswerStore& Answers() const { return *answers_; }

    // Saves the device; on failure the device is forgotten, so the next call
    // takes the last state that did reach the disk. Answers follow the
    // state: those it no longer names go after it is saved, those the undone
    // command wrote go with it. The log's waiting lines are saved with the
    // state; the caller writes them to the log after.
    bool Save(const EventLog& log) {
        device_->SetPendingLog(log.Waiting());
        std::string error;
        const std::vector<std::int64_t> named = NamedAnswers(device_->State());
        const auto removeAllBut = [&](const std::vector<std::int64_t>& ids,
                                      const std::vector<std::int64_t>& kept) {
            for (const std::int64_t id : ids) {
                if (std::find(kept.begin(), kept.end(), id) == kept.end()) {
                    answers_->Remove(id);
                }
            }
        };
        if (!SaveStateAtomically(path_, device_->State(), error)) {
            std::fprintf(stderr, "dllsat: the device state cannot be saved: %s\n", error.c_str());
            removeAllBut(named, saved_);
            Forget();
            return false;
        }
        removeAllBut(saved_, named);
        saved_ = named;
        stamp_ = StampOfFile(path_);
        return true;
    }

    void Forget() { device_.reset(); }

private:
    void Load(const EmulatorSettings& settings, std::int64_t now, EventLog& log) {
        device_.reset();
        path_ = settings.statePath;
        answers_.emplace(path_ + ".answers");
        RemoveLeftTemporaries(path_);
        std::error_code error;
        const bool exists = std::filesystem::exists(path_, error);
        const auto text = exists ? ReadWholeFile(path_) : std::nullopt;
        auto state = text ? ParseState(*text) : std::nullopt;
        if (!state) {
            if (exists) {
                // Keep the damaged file for whoever wants to see what broke.
                std::filesystem::copy_file(path_, path_ + ".damaged",
                                           std::filesystem::copy_options::overwrite_existing,
                                           error);
                log.Append(now, "SAT", "ERRO",
                           "arquivo de estado danificado; equipamento reiniciado");
            }
            state = settings.developerKit ? MakeDeveloperKit(now) : MakeFactoryFresh(now);
            log.Append(now, "SAT", "INFO",
                       settings.developerKit ? "kit de desenvolvedor iniciado"
                                             : "equipamento novo, não ativado");
        }
        // The last saved command's log lines, if its process died before it
        // wrote them all.
        log.CatchUp(state->pendingLog);
        state->pendingLog.clear();
        // Answers of commands that were undone, then those an earlier
        // version kept in the state file itself.
        answers_->RemoveUnnamed(*state);
        saved_ = NamedAnswers(*state);
        if (!MoveInlineAnswers(*state, *answers_)) {
            throw std::runtime_error("the remembered answers cannot be written");
        }
        device_ = std::make_unique<SatDevice>(std::move(*state), now);
        stamp_ = StampOfFile(path_);
    }

    std::string path_;
    std::optional<FileStamp> stamp_;
    std::optional<AnswerStore> answers_;
    std::vector<std::int64_t> saved_; // the answers the state on disk names
    std::unique_ptr<SatDevice> device_;
};

DeviceHost& Host() {
    static DeviceHost host;
    return host;
}

thread_local std::string tAnswer;

// A failure the device notes in its log although the command is undone.
void NoteFailure(const std::string& logPath, std::int64_t now, const char* text) noexcept {
    try {
        if (!logPath.empty()) {
            EventLog log(logPath);
            log.Append(now, "SAT", "ERRO", text);
            log.Commit();
        }
    } catch (...) {
        // Telling is best effort; the answer is xx099 either way.
    }
}

const char* Answer(std::string text) {
    tAnswer = std::move(text);
    return tAnswer.c_str();
}

std::string UnknownError(int session, int family) {
    const int code = family * 1000 + 99;
    if (family == kEnviarDadosVenda || family == kCancelarUltimaVenda) {
        return FiscalRefusal(session, code, 0);
    }
    return StandardAnswer(session, code);
}

// The xx099 answer without allocating, for when memory itself has run out.
const char* LastResortAnswer(int session, int family) {
    try {
        return Answer(UnknownError(session, family));
    } catch (...) {
        thread_local char fallback[64];
        std::snprintf(fallback, sizeof fallback, "%d|%02d099|Erro desconhecido||", session, family);
        return fallback;
    }
}

} // namespace

const char* RunCommand(const CommandTraits& traits, int session, const Command& command) {
    DeviceHost& host = Host();
    // Held until the answer is made, failure included: forgetting a device
    // another thread still uses would pull it from under that thread.
    std::unique_lock lock(host.mutex, std::defer_lock);
    std::string logPath;
    std::int64_t now = 0;
    try {
        const EmulatorSettings settings = ReadEmulatorSettings();
        lock.lock();
        if (settings.delayMilliseconds > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(settings.delayMilliseconds));
        }
        const Fault fault = FaultAppliesTo(settings, traits.name) ? settings.fault : Fault::None;
        switch (fault) {
        case Fault::Busy:
            return Answer(BusyAnswer(session, traits.family));
        case Fault::Null:
            return nullptr;
        case Fault::NoSeparator:
            return Answer(std::string(kCommunicationErrorText));
        default:
            break;
        }
        const ProcessLock processLock(settings.statePath + ".lock");
        switch (processLock.Result()) {
        case ProcessLock::Outcome::Held:
            break;
        case ProcessLock::Outcome::Busy:
            // Never on without the lock: another process may be mid-command.
            return Answer(BusyAnswer(session, traits.family));
        case ProcessLock::Outcome::NoFolder:
            throw std::runtime_error("the state's folder is missing");
        }
        RefuseSymbolicLinks(settings.statePath);
        now = DeviceNow(settings.clock, SystemNow());
        logPath = settings.statePath + ".log";
        EventLog log(logPath);
        SatDevice& device = host.Open(settings, now, log);
        const CallContext context{now, settings.offline, &log, &host.Answers()};
        std::string answer;
        if (traits.checksSession && !device.SessionNumberFree(session)) {
            answer = StandardAnswer(session, traits.family * 1000 + 97);
        } else {
            device.Housekeeping(context);
            answer = command(device, context);
            device.RecordSession(context, session, answer, traits.family);
        }
        const int code = AnswerCode(answer);
        log.Append(now, "AC", code % 1000 == 0 ? "INFO" : "ALERTA",
                   std::string(traits.name) + " sessão " + std::to_string(session) + ": " +
                       ReturnCode(code));
        if (!host.Save(log)) {
            return Answer(UnknownError(session, traits.family));
        }
        // Only what was kept is told: the log follows the saved state.
        log.Commit();
        DamageAnswer(fault, answer);
        return Answer(std::move(answer));
    } catch (const OpenSslError& failure) {
        // The command is undone and the state file kept as it is; the log
        // tells what OpenSSL said.
        if (lock.owns_lock()) {
            host.Forget();
            NoteFailure(logPath, now, failure.what());
        }
        return LastResortAnswer(session, traits.family);
    } catch (...) {
        // Out of memory or a file system failure deep down: the device stays
        // as the disk has it, and the caller gets the function's xx099.
        if (lock.owns_lock()) {
            host.Forget();
        }
        return LastResortAnswer(session, traits.family);
    }
}

const char* VersionText() {
    return Answer("Emulador SAT-CF-e dllsat 1.0.0");
}

const char* ShutDown() {
    DeviceHost& host = Host();
    std::unique_lock lock(host.mutex, std::defer_lock);
    try {
        const EmulatorSettings settings = ReadEmulatorSettings();
        lock.lock();
        const ProcessLock processLock(settings.statePath + ".lock");
        if (processLock.Result() != ProcessLock::Outcome::Held) {
            throw std::runtime_error("the device cannot be locked");
        }
        RefuseSymbolicLinks(settings.statePath);
        const std::int64_t now = DeviceNow(settings.clock, SystemNow());
        EventLog log(settings.statePath + ".log");
        host.Open(settings, now, log);
        log.Append(now, "AC", "INFO", "DesligarSAT: equipamento desligado");
        if (host.Save(log)) {
            log.Commit();
        }
    } catch (...) {
        if (lock.owns_lock()) {
            host.Forget();
        }
    }
    return Answer("0|00000|Equipamento SAT desligado||");
}

} // namespace satemu
