#include "cli/message_block.h"

#include <ostream>
#include <utility>

#include "rules/cp1252.h"
#include "rules/line_text.h"
#include "rules/message_markers.h"

namespace {

constexpr int kModalResultOk = 1;

} // namespace

MessageBlock MessageAsBlock(const std::string& cp1252Text) {
    MarkerReading<std::string> reading = ReadMessageMarkers(cp1252Text);
    return {std::string(reading.title), std::move(reading.text)};
}

std::string FormatMessageBlock(const MessageBlock& block) {
    std::string formatted = block.title + "\n";
    for (const std::string& line : SplitLines(block.text)) {
        formatted += Cp1252ToUtf8(line) + "\n";
    }
    return formatted + "\n";
}

int StreamUserInterface::ShowMessageDialog(const std::string& text) {
    stream_ << FormatMessageBlock(MessageAsBlock(text)) << std::flush;
    return kModalResultOk;
}
