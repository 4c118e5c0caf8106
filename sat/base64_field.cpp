#include "sat/base64_field.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
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

// Room the decoder needs beyond the decoded bytes: the fast path stores
// eight bytes at a time of which it keeps six.
constexpr std::size_t kStoreSlack = 8;

// The six bytes of 48 bits, first byte in the highest bits, as they lie in
// memory: the word to store at the output position.
std::uint64_t BytesInMemoryOrder(std::uint64_t bits48) {
    if constexpr (std::endian::native == std::endian::big) {
        return bits48 << 16;
    }
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_bswap64(bits48 << 16);
#else
    std::uint64_t word = 0;
    for (int i = 0; i < 6; ++i) {
        word |= ((bits48 >> (40 - 8 * i)) & 0xFF) << (8 * i);
    }
    return word;
#endif
}

// How many of the first six bytes in memory of word are LF.
std::size_t LineFeedsInSixBytes(std::uint64_t word) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t x = word ^ 0x0A0A0A0A0A0A0A0AULL; // zero bytes where LFs are
    const std::uint64_t zeroBytes = ~(((x & kLow7) + kLow7) | x | kLow7);
    const std::uint64_t firstSix =
        std::endian::native == std::endian::little ? 0x0000FFFFFFFFFFFFULL : 0xFFFFFFFFFFFF0000ULL;
    const std::uint64_t found = zeroBytes & firstSix;
    // Rare in any payload: skip the count (a library call without POPCNT).
    return found == 0 ? 0 : static_cast<std::size_t>(std::popcount(found));
}

// Decodes field into dst, which has room for field.size() / 4 * 3 + 3 +
// kStoreSlack bytes: four characters never give more than three bytes.
DecodedRun DecodeInto(char* dst, std::string_view field) {
    DecodedRun run;
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    const auto* const end = p + field.size();
    std::uint32_t pending = 0; // bits not yet written, fewer than 8
    int pendingBits = 0;
    while (p < end) {
        // Fast path: eight alphabet characters starting on a byte boundary
        // give six bytes.
        while (pendingBits == 0 && end - p >= 8) {
            const std::uint32_t a = kValues[p[0]];
            const std::uint32_t b = kValues[p[1]];
            const std::uint32_t c = kValues[p[2]];
            const std::uint32_t d = kValues[p[3]];
            const std::uint32_t e = kValues[p[4]];
            const std::uint32_t f = kValues[p[5]];
            const std::uint32_t g = kValues[p[6]];
            const std::uint32_t h = kValues[p[7]];
            if ((a | b | c | d | e | f | g | h) >= 64) {
                break; // a character outside the alphabet: the slow path skips it
            }
            const std::uint64_t high = (a << 18) | (b << 12) | (c << 6) | d;
            const std::uint64_t low = (e << 18) | (f << 12) | (g << 6) | h;
            const std::uint64_t bits = (high << 24) | low;
            const std::uint64_t word = BytesInMemoryOrder(bits);
            std::memcpy(dst + run.bytes, &word, sizeof word);
            run.bytes += 6;
            run.lineFeeds += LineFeedsInSixBytes(word);
            p += 8;
        }
        if (p >= end) {
            break;
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

// Copies count bytes from src to dst, each LF preceded by a CR. Runs
// between line feeds move with memcpy.
void CopyWideningLineFeeds(const char* src, std::size_t count, char* dst) {
    const char* const end = src + count;
    while (src < end) {
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(src, '\n', static_cast<std::size_t>(end - src)));
        const auto run = static_cast<std::size_t>((lineFeed != nullptr ? lineFeed : end) - src);
        std::memcpy(dst, src, run);
        dst += run;
        src += run;
        if (lineFeed == nullptr) {
            break;
        }
        *dst++ = '\r';
        *dst++ = '\n';
        ++src;
    }
}

// The last LF in [begin, end), eight bytes at a time; null when none.
const char* FindLastLineFeed(const char* begin, const char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::uint64_t kLineFeeds = kOnes * '\n';
    while (end - begin >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, end - 8, sizeof word);
        const std::uint64_t x = word ^ kLineFeeds; // a zero byte where a LF was
        if (((x - kOnes) & ~x & kHighBits) != 0) {
            break; // the LF is among these eight bytes
        }
        end -= 8;
    }
    while (end > begin) {
        if (*--end == '\n') {
            return end;
        }
    }
    return nullptr;
}

// The same in place: buffer holds count bytes and has room for lineFeeds
// more; working from the back, no byte is overwritten before it is moved.
void WidenLineFeedsInPlace(char* buffer, std::size_t count, std::size_t lineFeeds) {
    char* dstEnd = buffer + count + lineFeeds;
    char* srcEnd = buffer + count;
    while (lineFeeds > 0) {
        char* lineFeed = const_cast<char*>(FindLastLineFeed(buffer, srcEnd));
        const auto run = static_cast<std::size_t>(srcEnd - (lineFeed + 1));
        dstEnd -= run;
        std::memmove(dstEnd, lineFeed + 1, run);
        *--dstEnd = '\n';
        *--dstEnd = '\r';
        srcEnd = lineFeed;
        --lineFeeds;
    }
}

} // namespace

void AppendBase64Field(std::string& out, std::string_view field) {
    const std::size_t start = out.size();
    const std::size_t mostBytes = field.size() / 4 * 3 + 3;
    // Room for a line feed in every 16 bytes, so that most texts widen in
    // place; denser ones get a fresh string of the exact size below.
    out.reserve(start + mostBytes + kStoreSlack + mostBytes / 16);
    out.resize(start + mostBytes + kStoreSlack);
    const DecodedRun run = DecodeInto(out.data() + start, field);
    out.resize(start + run.bytes);
    if (run.lineFeeds == 0) {
        return;
    }
    const std::size_t widened = run.bytes + run.lineFeeds;
    if (out.capacity() >= start + widened) {
        out.resize(start + widened);
        WidenLineFeedsInPlace(out.data() + start, run.bytes, run.lineFeeds);
        return;
    }
    // Growing out itself would double its capacity, which for a large log
    // costs far more than one copy.
    std::string widenedOut;
    widenedOut.reserve(start + widened);
    widenedOut.append(out, 0, start);
    widenedOut.resize(start + widened);
    CopyWideningLineFeeds(out.data() + start, run.bytes, widenedOut.data() + start);
    out = std::move(widenedOut);
}

std::string DecodeBase64Field(std::string_view field) {
    std::string out;
    AppendBase64Field(out, field);
    return out;
}
