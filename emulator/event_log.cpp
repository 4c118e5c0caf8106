#include "emulator/event_log.h"

#include "emulator/device_clock.h"
#include "emulator/platform.h"
#include "emulator/state_file.h"

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
    std::FILE* file = std::fopen(path_.c_str(), "ab");
    if (!file) {
        return;
    }
    std::fwrite(lines.data(), 1, lines.size(), file);
    const long size = std::ftell(file);
    std::fclose(file);
    if (size > kMaxBytes) {
        DropOlderHalf();
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
    const std::string temporary = path_ + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return;
    }
    const bool written =
        std::fwrite(text->data() + cut, 1, text->size() - cut, file) == text->size() - cut;
    if (std::fclose(file) == 0 && written) {
        ReplaceFile(temporary, path_);
    } else {
        std::remove(temporary.c_str());
    }
}

} // namespace satemu
