#include "sat/host_protocol.h"

namespace host_protocol {

void AppendUint32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

std::uint32_t ReadUint32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

std::string LoadRequest(std::string_view libraryPath) {
    std::string payload(1, kLoad);
    payload.append(libraryPath);
    return payload;
}

std::string CallRequest(SatExport which, std::span<const SatArgument> arguments) {
    std::string payload(1, kCall);
    payload.push_back(static_cast<char>(which));
    payload.push_back(static_cast<char>(arguments.size()));
    for (const SatArgument& argument : arguments) {
        if (argument.isText) {
            payload.push_back('t');
            AppendUint32(payload, static_cast<std::uint32_t>(argument.text.size()));
            payload.append(argument.text);
        } else {
            payload.push_back('i');
            AppendUint32(payload, static_cast<std::uint32_t>(argument.number));
        }
    }
    return payload;
}

std::optional<DecodedCall> DecodeCallRequest(std::string_view payload) {
    if (payload.size() < 3 || payload[0] != kCall) {
        return std::nullopt;
    }
    const auto index = static_cast<unsigned char>(payload[1]);
    if (index >= kSatExportCount) {
        return std::nullopt;
    }
    DecodedCall call;
    call.which = SatExportAt(index);
    const auto count = static_cast<unsigned char>(payload[2]);
    std::size_t at = 3;
    struct Pending {
        bool isText;
        std::int32_t number;
    };
    std::vector<Pending> kinds;
    for (unsigned i = 0; i < count; ++i) {
        if (at + 5 > payload.size()) {
            return std::nullopt;
        }
        const char kind = payload[at];
        const std::uint32_t value = ReadUint32(payload.data() + at + 1);
        at += 5;
        if (kind == 'i') {
            kinds.push_back({false, static_cast<std::int32_t>(value)});
        } else if (kind == 't') {
            if (value > payload.size() - at) {
                return std::nullopt;
            }
            call.texts.emplace_back(payload.substr(at, value));
            kinds.push_back({true, 0});
            at += value;
        } else {
            return std::nullopt;
        }
    }
    if (at != payload.size()) {
        return std::nullopt;
    }
    // The views are taken once every text has its final place.
    std::size_t text = 0;
    for (const Pending& kind : kinds) {
        call.arguments.push_back(kind.isText ? SatArgument::Text(call.texts[text++])
                                             : SatArgument::Number(kind.number));
    }
    if (!MatchesSatExportSignature(call.which, call.arguments)) {
        return std::nullopt;
    }
    return call;
}

} // namespace host_protocol
