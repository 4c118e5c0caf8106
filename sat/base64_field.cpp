#include "sat/base64_field.h"

#include <array>
#include <cstdint>
#include <utility>

namespace {

constexpr std::uint8_t kNotInAlphabet = 0xFF;

constexpr std::array<std::uint8_t, 256> MakeValueTable() {
    std::array<std::uint8_t, 256> values{};
    values.fill(kNotInAlphabet);
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        values[static_cast<unsigned char>(alphabet[i])] = static_cast<std::uint8_t>(i);
    }
    return values;
}
constexpr std::array<std::uint8_t, 256> kValues = MakeValueTable();

struct DecodedRun {
    std::size_t bytes = 0;
    std::size_t lineFeeds = 0;
};

// Decodes field into dst, which has room for field.size() / 4 * 3 + 3
// bytes: four characters never give more than three bytes.
DecodedRun DecodeInto(char* dst, std::string_view field) {
    DecodedRun run;
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    const auto* const end = p + field.size();
    std::uint32_t pending = 0; // bits not yet written, fewer than 8
    int pendingBits = 0;
    while (p < end) {
        // Fast path: four alphabet characters starting on a byte boundary.
        if (pendingBits == 0 && end - p >= 4) {
            const std::uint32_t a = kValues[p[0]];
            const std::uint32_t b = kValues[p[1]];
            const std::uint32_t c = kValues[p[2]];
            const std::uint32_t d = kValues[p[3]];
            if ((a | b | c | d) < 64) {
                const std::uint32_t bits = (a << 18) | (b << 12) | (c << 6) | d;
                const auto x = static_cast<char>(bits >> 16);
                const auto y = static_cast<char>((bits >> 8) & 0xFF);
                const auto z = static_cast<char>(bits & 0xFF);
                dst[run.bytes] = x;
                dst[run.bytes + 1] = y;
                dst[run.bytes + 2] = z;
                run.bytes += 3;
                run.lineFeeds += static_cast<std::size_t>(x == '\n') +
                                 static_cast<std::size_t>(y == '\n') +
                                 static_cast<std::size_t>(z == '\n');
                p += 4;
                continue;
            }
        }
        const std::uint32_t value = kValues[*p++];
        if (value == kNotInAlphabet) {
            continue;
        }
        pending = (pending << 6) | value;
        pendingBits += 6;
        if (pendingBits >= 8) {
            pendingBits -= 8;
            const auto byte = static_cast<char>((pending >> pendingBits) & 0xFF);
            dst[run.bytes++] = byte;
            run.lineFeeds += static_cast<std::size_t>(byte == '\n');
            pending &= (1U << pendingBits) - 1;
        }
    }
    return run;
}

// Copies count bytes from src to dst, each LF preceded by a CR, working from
// the back so that dst may overlap the end of the same buffer (in-place
// widening, dst + widened size == src + count + lineFeeds).
void WidenLineFeedsBackwards(const char* src, std::size_t count, char* dstEnd) {
    for (std::size_t i = count; i > 0; --i) {
        const char byte = src[i - 1];
        *--dstEnd = byte;
        if (byte == '\n') {
            *--dstEnd = '\r';
        }
    }
}

} // namespace

void AppendBase64Field(std::string& out, std::string_view field) {
    const std::size_t start = out.size();
    out.resize(start + field.size() / 4 * 3 + 3);
    const DecodedRun run = DecodeInto(out.data() + start, field);
    out.resize(start + run.bytes);
    if (run.lineFeeds == 0) {
        return;
    }
    const std::size_t widened = run.bytes + run.lineFeeds;
    if (out.capacity() >= start + widened) {
        out.resize(start + widened);
        WidenLineFeedsBackwards(out.data() + start, run.bytes, out.data() + start + widened);
        return;
    }
    // A fresh string of the exact size: growing out itself would double its
    // capacity, which for a large log costs far more than one copy.
    std::string widenedOut;
    widenedOut.reserve(start + widened);
    widenedOut.append(out, 0, start);
    widenedOut.resize(start + widened);
    WidenLineFeedsBackwards(out.data() + start, run.bytes, widenedOut.data() + start + widened);
    out = std::move(widenedOut);
}

std::string DecodeBase64Field(std::string_view field) {
    std::string out;
    AppendBase64Field(out, field);
    return out;
}
