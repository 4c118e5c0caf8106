#include "sat/base64_field.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#include "rules/cp1252.h"

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
    // One bit (0x80) per LF byte: shifted down to 0x01 each, a multiplication
    // sums them into the top byte. No popcount instruction is needed, which
    // the build's target CPU does not promise.
    const std::uint64_t found = (zeroBytes & firstSix) >> 7;
    return static_cast<std::size_t>((found * 0x0101010101010101ULL) >> 56);
}

// The decoder's state between pieces of one field: the bits not yet
// written (fewer than 8).
struct PendingBits {
    std::uint32_t bits = 0;
    int count = 0;
};

// Decodes field into dst, which has room for field.size() / 4 * 3 + 3 +
// kStoreSlack bytes: four characters never give more than three bytes.
DecodedRun DecodeInto(char* dst, std::string_view field, PendingBits& pending) {
    DecodedRun run;
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    const auto* const end = p + field.size();
    while (p < end) {
        // Fast path: eight alphabet characters starting on a byte boundary
        // give six bytes.
        while (pending.count == 0 && end - p >= 8) {
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
        pending.bits = (pending.bits << 6) | value;
        pending.count += 6;
        if (pending.count >= 8) {
            pending.count -= 8;
            const auto byte = static_cast<char>((pending.bits >> pending.count) & 0xFF);
            dst[run.bytes++] = byte;
            run.lineFeeds += static_cast<std::size_t>(byte == '\n');
            pending.bits &= (1U << pending.count) - 1;
        }
    }
    return run;
}

// Appends the bytes field encodes to out, piece by piece: the string only
// grows (and zero-fills) one cache-sized piece ahead of the decoder, instead
// of zero-filling the whole result in a pass of its own before decoding.
// The capacity is reserved once, with room for extraLater more bytes.
DecodedRun AppendDecodedBytes(std::string& out, std::string_view field, std::size_t extraLater) {
    constexpr std::size_t kPieceCharacters = 64 * 1024; // a multiple of 8
    const std::size_t start = out.size();
    out.reserve(start + field.size() / 4 * 3 + 3 + kStoreSlack + extraLater);
    DecodedRun total;
    PendingBits pending;
    for (std::size_t at = 0; at < field.size(); at += kPieceCharacters) {
        const std::string_view piece = field.substr(at, kPieceCharacters);
        const std::size_t written = start + total.bytes;
        out.resize(written + piece.size() / 4 * 3 + 3 + kStoreSlack);
        const DecodedRun run = DecodeInto(out.data() + written, piece, pending);
        total.bytes += run.bytes;
        total.lineFeeds += run.lineFeeds;
    }
    out.resize(start + total.bytes);
    return total;
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

// Every LF of out from start on becomes CR LF; run counted them.
void WidenLineFeeds(std::string& out, std::size_t start, std::size_t lineFeeds) {
    if (lineFeeds == 0) {
        return;
    }
    const std::size_t count = out.size() - start;
    const std::size_t widened = count + lineFeeds;
    if (out.capacity() >= start + widened) {
        out.resize(start + widened);
        WidenLineFeedsInPlace(out.data() + start, count, lineFeeds);
        return;
    }
    // Growing out itself would double its capacity, which for a large log
    // costs far more than one copy.
    std::string widenedOut;
    widenedOut.reserve(start + widened);
    widenedOut.append(out, 0, start);
    widenedOut.resize(start + widened);
    CopyWideningLineFeeds(out.data() + start, count, widenedOut.data() + start);
    out = std::move(widenedOut);
}

// Room for a line feed in every 16 bytes, so that most texts widen in
// place; denser ones get a fresh string of the exact size.
std::size_t WideningRoom(std::string_view field) {
    return field.size() / 4 * 3 / 16;
}

} // namespace

void WriteBase64FieldBytes(std::string_view field,
                           const std::function<void(std::string_view)>& write) {
    constexpr std::size_t kPieceCharacters = 64 * 1024; // a multiple of 8
    std::string buffer(kPieceCharacters / 4 * 3 + 3 + kStoreSlack, '\0');
    PendingBits pending;
    for (std::size_t at = 0; at < field.size(); at += kPieceCharacters) {
        const DecodedRun run =
            DecodeInto(buffer.data(), field.substr(at, kPieceCharacters), pending);
        if (run.bytes > 0) {
            write(std::string_view(buffer.data(), run.bytes));
        }
    }
}

void AppendBase64Field(std::string& out, std::string_view field) {
    const std::size_t start = out.size();
    const DecodedRun run = AppendDecodedBytes(out, field, WideningRoom(field));
    WidenLineFeeds(out, start, run.lineFeeds);
}

std::string DecodeBase64Field(std::string_view field) {
    std::string out;
    AppendBase64Field(out, field);
    return out;
}

Base64Payload AppendBase64Payload(std::string& out, std::string_view field) {
    Base64Payload payload;
    const std::size_t start = out.size();
    const DecodedRun run = AppendDecodedBytes(out, field, WideningRoom(field));
    const Utf8Check utf8 = CheckUtf8(std::string_view(out).substr(start));
    payload.fromUtf8 = utf8.valid;
    if (utf8.valid) {
        if (!utf8.lossless) {
            payload.deviceBytes.assign(out, start, std::string::npos);
        }
        // LF is one byte in both encodings, so the count still holds.
        Utf8ToCp1252InPlace(out, start);
    }
    WidenLineFeeds(out, start, run.lineFeeds);
    payload.begin = start;
    payload.size = out.size() - start;
    payload.lossless = !utf8.valid || utf8.lossless;
    return payload;
}

void WriteDevicePayload(std::string_view shown, const Base64Payload& payload,
                        const std::function<void(std::string_view)>& write) {
    if (!payload.lossless) {
        write(payload.deviceBytes);
        return;
    }
    // Every LF of the shown text has the CR that widening put before it:
    // dropping that CR gives the decoded bytes back, piece by piece. A piece
    // never ends between that CR and its LF.
    constexpr std::size_t kPiece = 256 * 1024;
    std::string piece;
    std::string utf8; // both buffers serve every piece
    std::size_t at = 0;
    while (at < shown.size()) {
        std::size_t end = std::min(shown.size(), at + kPiece);
        if (end < shown.size() && shown[end - 1] == '\r' && shown[end] == '\n') {
            ++end;
        }
        piece.clear();
        for (std::size_t i = at; i < end;) {
            const std::size_t lineFeed = std::min(shown.find('\n', i), end);
            piece.append(shown, i, lineFeed - i);
            if (lineFeed == end) {
                break;
            }
            if (!piece.empty() && piece.back() == '\r') {
                piece.pop_back(); // the widening CR
            }
            piece.push_back('\n');
            i = lineFeed + 1;
        }
        if (payload.fromUtf8) {
            AssignCp1252AsUtf8(utf8, piece);
            write(utf8);
        } else {
            write(piece);
        }
        at = end;
    }
}
