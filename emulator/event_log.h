#pragma once
// The device's event log, a text file beside the state file with one line per
// event, "AAAAMMDDhhmmss|origem|tipo|texto", which ExtrairLogs hands out.
// The events of a command are held back until its state is saved, saved
// with it (DeviceState::pendingLog), and reach the file only then: a command
// that is undone (the state could not be saved, the process died) leaves no
// trace, and one kept is listed even when the process died before writing
// its lines (CatchUp, at the next load). When the file passes kMaxBytes the older half is
// dropped, as a device's log memory wraps around.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace satemu {

class EventLog {
public:
    static constexpr std::int64_t kMaxBytes = 64LL * 1024 * 1024;

    explicit EventLog(std::string path) : path_(std::move(path)) {}

    // origin: "AC" (a command from the point of sale), "SAT" (the device
    // itself) or "SEFAZ" (its communication); type: "INFO", "ALERTA", "ERRO".
    // "|", CR and LF in the text become blanks, so a line stays one event.
    // The line waits for Commit.
    void Append(std::int64_t now, std::string_view origin, std::string_view type,
                std::string_view text);

    // The lines waiting for Commit, which travel with the state save.
    const std::string& Waiting() const { return waiting_; }

    // Writes the waiting lines to the file (best effort: a full disk must not
    // undo a sale); lines never committed are dropped with the object.
    void Commit();

    // Appends what the file is missing of `lines`, the last saved command's
    // (DeviceState::pendingLog): nothing when they are all there, the rest
    // when the process died while appending them.
    void CatchUp(std::string_view lines);

    // The whole log, waiting lines included; empty when there is none yet.
    std::optional<std::string> ReadAll() const;

private:
    void DropOlderHalf();

    std::string path_;
    std::string waiting_;
};

} // namespace satemu
