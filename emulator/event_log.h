#pragma once
// The device's event log, a text file beside the state file with one line per
// event, "AAAAMMDDhhmmss|origem|tipo|texto", which ExtrairLogs hands out.
// Lines are appended as events happen; when the file passes kMaxBytes the
// older half is dropped, as a device's log memory wraps around.

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
    void Append(std::int64_t now, std::string_view origin, std::string_view type,
                std::string_view text);

    // The whole log; empty when there is none yet.
    std::optional<std::string> ReadAll() const;

private:
    void DropOlderHalf();

    std::string path_;
};

} // namespace satemu
