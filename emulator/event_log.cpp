#include "emulator/event_log.h"

#include "emulator/device_clock.h"
#include "emulator/platform.h"
#include "emulator/state_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace satemu {

void EventLog::Append(std::int64_t now, std::string_view origin, std::string_view type,
                      std::string_view text) {
    std::string line = FormatStamp(now);
    for (const std::string_view part : {origin, type, text}) {
        line += '|';
        for (const char c : part) {
            line += c == '|' || c == '\r' || c == '\n' ? ' ' : c;
        }
    }
    line += '\n';
    waiting_ += line;
}

void EventLog::Commit() {
    if (waiting_.empty()) {
        return;
    }
    const std::string lines = std::exchange(waiting_, std::string());
    std::string error;
    AppendToFile(path_, lines, error);
    const auto stamp = StampOfFile(path_);
    if (stamp && stamp->size > static_cast<std::uint64_t>(kMaxBytes)) {
        DropOlderHalf();
    }
}

void EventLog::CatchUp(std::string_view lines) {
    if (lines.empty()) {
        return;
    }
    // Only the log's end matters, however large the log.
    std::string tail;
    if (!IsSymbolicLink(path_)) {
        if (std::FILE* file = std::fopen(path_.c_str(), "rb")) {
            // Room for a few lines written after them (a failure noted
            // since, which an undone command leaves).
            const long want = static_cast<long>(lines.size()) + 64 * 1024;
            if (std::fseek(file, -want, SEEK_END) != 0) {
                std::rewind(file);
            }
            char buffer[4096];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
                tail.append(buffer, got);
            }
            std::fclose(file);
        }
    }
    const std::string_view log = tail;
    if (log.find(lines) != std::string_view::npos) {
        return;
    }
    // The longest end of the log that begins the lines, at a line's start:
    // what of them an interrupted append did write.
    std::size_t written = std::min(log.size(), lines.size());
    while (written > 0) {
        const bool atLineStart = written == log.size() || log[log.size() - written - 1] == '\n';
        if (atLineStart && log.substr(log.size() - written) == lines.substr(0, written)) {
            break;
        }
        --written;
    }
    if (written < lines.size()) {
        std::string error;
        AppendToFile(path_, lines.substr(written), error);
    }
}

std::optional<std::string> EventLog::ReadAll() const {
    std::error_code error;
    auto text = std::filesystem::exists(path_, error) ? ReadWholeFile(path_)
                                                      : std::optional<std::string>(std::string());
    if (text) {
        *text += waiting_;
    }
    return text;
}

void EventLog::DropOlderHalf() {
    const auto text = ReadWholeFile(path_);
    if (!text) {
        return;
    }
    std::size_t cut = text->find('\n', text->size() / 2);
    cut = cut == std::string::npos ? text->size() : cut + 1;
    std::string error;
    WriteFileDurably(path_, std::string_view(*text).substr(cut), error);
}

} // namespace satemu
