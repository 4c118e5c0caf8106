#include "emulator/base64.h"

#include <array>
#include <cstdint>

namespace satemu {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == '/') {
        return 63;
    }
    return -1;
}

} // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    AppendBase64(out, bytes);
    return out;
}

void AppendBase64(std::string& out, std::string_view bytes) {
    // Written in place: logs of tens of megabytes pass through here.
    std::size_t o = out.size();
    out.resize(o + (bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3, o += 4) {
        const std::uint32_t group = (static_cast<unsigned char>(bytes[i]) << 16) |
                                    (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                                    static_cast<unsigned char>(bytes[i + 2]);
        out[o] = kAlphabet[(group >> 18) & 0x3F];
        out[o + 1] = kAlphabet[(group >> 12) & 0x3F];
        out[o + 2] = kAlphabet[(group >> 6) & 0x3F];
        out[o + 3] = kAlphabet[group & 0x3F];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        out[o] = kAlphabet[(group >> 18) & 0x3F];
        out[o + 1] = kAlphabet[(group >> 12) & 0x3F];
        out[o + 2] = rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
        out[o + 3] = '=';
    }
}

std::optional<std::string> Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    std::array<int, 4> group{};
    std::size_t filled = 0;
    int padding = 0;
    for (const char c : text) {
        if (c == '\r' || c == '\n' || c == ' ') {
            continue;
        }
        if (c == '=') {
            // Padding only in the last two places of the last group.
            if (filled < 2) {
                return std::nullopt;
            }
            ++padding;
            group[filled++] = 0;
        } else {
            const int value = ValueOf(c);
            if (value < 0 || padding > 0) {
                return std::nullopt;
            }
            group[filled++] = value;
        }
        if (filled == 4) {
            const std::uint32_t bits = (static_cast<std::uint32_t>(group[0]) << 18) |
                                       (static_cast<std::uint32_t>(group[1]) << 12) |
                                       (static_cast<std::uint32_t>(group[2]) << 6) |
                                       static_cast<std::uint32_t>(group[3]);
            out += static_cast<char>((bits >> 16) & 0xFF);
            if (padding < 2) {
                out += static_cast<char>((bits >> 8) & 0xFF);
            }
            if (padding < 1) {
                out += static_cast<char>(bits & 0xFF);
            }
            filled = 0;
            if (padding > 0) {
                padding = 3; // nothing may follow a padded group
            }
        }
    }
    if (filled != 0) {
        return std::nullopt;
    }
    return out;
}

} // namespace satemu
