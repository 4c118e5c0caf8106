#include "rules/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>

#include "rules/byte_blocks.h"
#include "rules/byte_words.h"
#include "rules/utf8_blocks.h"

namespace {

// Code points of the bytes 0x80..0x9F; every other byte is its own code point.
// The undefined bytes stand for the C1 control of the same value.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct CodePointToByte {
    char32_t codePoint;
    unsigned char byte;
};

// The reverse of kHighControlRange, sorted by code point for a binary search.
constexpr std::array<CodePointToByte, 32> MakeReverseTable() {
    std::array<CodePointToByte, 32> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = {kHighControlRange[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::sort(table.begin(), table.end(), [](const CodePointToByte& a, const CodePointToByte& b) {
        return a.codePoint < b.codePoint;
    });
    return table;
}
constexpr std::array<CodePointToByte, 32> kReverseTable = MakeReverseTable();

// Per lead byte: the length of its UTF-8 sequence, 0 when it cannot start one
// (continuation bytes 0x80..0xBF, the overlong leads 0xC0 0xC1, and 0xF5..0xFF
// which would go beyond U+10FFFF).
constexpr std::array<std::uint8_t, 256> MakeSequenceLengths() {
    std::array<std::uint8_t, 256> lengths{};
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) {
            lengths[b] = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            lengths[b] = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            lengths[b] = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            lengths[b] = 4;
        }
    }
    return lengths;
}
constexpr std::array<std::uint8_t, 256> kSequenceLengths = MakeSequenceLengths();

// Per lead byte: the range its second byte must fall in. The narrowed ranges
// exclude overlong forms (E0, F0), surrogates (ED) and values beyond U+10FFFF (F4).
struct ByteRange {
    unsigned char low;
    unsigned char high;
};
constexpr ByteRange SecondByteRange(unsigned char lead) {
    switch (lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

constexpr bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

char ToCp1252Byte(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    const auto* found = std::lower_bound(
        kReverseTable.begin(), kReverseTable.end(), codePoint,
        [](const CodePointToByte& entry, char32_t cp) { return entry.codePoint < cp; });
    if (found != kReverseTable.end() && found->codePoint == codePoint) {
        return static_cast<char>(found->byte);
    }
    return '?';
}

struct Utf8Encoding {
    std::uint8_t length;
    std::array<char, 3> bytes;
};

// The UTF-8 bytes of every Windows-1252 byte; all of them lie below U+10000.
constexpr std::array<Utf8Encoding, 256> MakeUtf8Encodings() {
    std::array<Utf8Encoding, 256> encodings{};
    for (std::size_t b = 0; b < 256; ++b) {
        const char32_t cp = (b >= 0x80 && b <= 0x9F) ? kHighControlRange[b - 0x80] : b;
        Utf8Encoding& e = encodings[b];
        if (cp < 0x80) {
            e = {1, {static_cast<char>(cp), 0, 0}};
        } else if (cp < 0x800) {
            e = {2,
                 {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}};
        } else {
            e = {3,
                 {static_cast<char>(0xE0 | (cp >> 12)),
                  static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (cp & 0x3F))}};
        }
    }
    return encodings;
}
constexpr std::array<Utf8Encoding, 256> kUtf8Encodings = MakeUtf8Encodings();

// Copies the run of ASCII bytes at p, eight at a time; returns where it ended.
// The texts are mostly ASCII, so this is where the time goes. out may lie
// at or before p in the same text (a conversion in place): each word is
// read whole before it is stored.
template <bool kWrite>
const unsigned char* CopyAsciiRun(const unsigned char* p, const unsigned char* end, char*& out) {
    while (end - p >= 8) {
        const std::uint64_t word = byte_words::Load(p);
        if (byte_words::MarkHighBytes(word) != 0) {
            break;
        }
        if constexpr (kWrite) {
            std::memcpy(out, &word, sizeof word);
            out += 8;
        }
        p += 8;
    }
    while (p < end && *p < 0x80) {
        if constexpr (kWrite) {
            *out++ = static_cast<char>(*p);
        }
        ++p;
    }
    return p;
}

// The same up to the next byte that is not ASCII or is a LF, for a
// conversion into a text of its own (out lies apart from [p, end) and has
// room for as many bytes as are left there): every word is stored whole,
// also the one in which the run ends, of which only the run's bytes count.
const unsigned char* CopyAsciiRunBeforeLineFeed(const unsigned char* p, const unsigned char* end,
                                                char*& out) {
    const std::size_t blocks =
        byte_blocks::CopyAsciiBefore(p, static_cast<std::size_t>(end - p), out, '\n');
    p += blocks;
    out += blocks;
    while (end - p >= 8) {
        const std::uint64_t word = byte_words::Load(p);
        std::memcpy(out, &word, sizeof word);
        const std::uint64_t stops =
            byte_words::MarkHighBytes(word) | byte_words::MarkEqualBytes(word, '\n');
        if (stops != 0) {
            const std::size_t run = byte_words::FirstMarkedByte(stops);
            out += run;
            return p + run;
        }
        out += 8;
        p += 8;
    }
    while (p < end && *p < 0x80 && *p != '\n') {
        *out++ = static_cast<char>(*p++);
    }
    return p;
}

// Converts the UTF-8 bytes [p, end) to Windows-1252 at out (which may be p
// itself: no sequence gives more than one byte), or only checks them when
// kWrite is false. False at the first byte that is not valid UTF-8; out is
// left at the end of the output. lossless turns false when a character had
// no byte of its own and became "?".
// With kWidenLineFeeds every LF is written as CR LF (out then lies apart
// from [p, end) and has room for its bytes and one more per LF).
template <bool kWrite, bool kWidenLineFeeds = false>
bool ConvertUtf8(const unsigned char* p, const unsigned char* end, char*& out, bool& lossless) {
    for (;;) {
        if constexpr (kWidenLineFeeds) {
            ConvertUtf8BlocksWideningLineFeeds(p, end, out);
            p = CopyAsciiRunBeforeLineFeed(p, end, out);
        } else {
            p = CopyAsciiRun<kWrite>(p, end, out);
        }
        if (p >= end) {
            break;
        }
        const unsigned char lead = *p;
        if constexpr (kWidenLineFeeds) {
            if (lead == '\n') {
                *out++ = '\r';
                *out++ = '\n';
                ++p;
                continue;
            }
            // U+00C0..U+00FF, the accented letters of most texts, are the
            // bytes 0xC0..0xFF.
            if (lead == 0xC3 && end - p >= 2 && IsContinuation(p[1])) {
                *out++ = static_cast<char>(p[1] + 0x40);
                p += 2;
                continue;
            }
        }
        const std::size_t length = kSequenceLengths[lead];
        if (length == 0 || static_cast<std::size_t>(end - p) < length) {
            return false;
        }
        const ByteRange second = SecondByteRange(lead);
        if (p[1] < second.low || p[1] > second.high) {
            return false;
        }
        char32_t cp = lead & (0xFF >> (length + 1));
        for (std::size_t i = 1; i < length; ++i) {
            if (!IsContinuation(p[i])) {
                return false;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        const char byte = ToCp1252Byte(cp);
        lossless = lossless && byte != '?'; // cp is not ASCII here
        if constexpr (kWrite) {
            *out++ = byte;
        }
        p += length;
    }
    return true;
}

} // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out(utf8.size(), '\0'); // every sequence gives exactly one byte
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    char* o = out.data();
    bool lossless = true;
    if (!ConvertUtf8<true>(p, p + utf8.size(), o, lossless)) {
        return {};
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string Utf8ToCp1252OrAsReceived(std::string_view text) {
    // Every UTF-8 sequence gives one byte, so only an invalid text of some
    // bytes converts to the empty text.
    std::string converted = Utf8ToCp1252(text);
    if (converted.empty() && !text.empty()) {
        converted.assign(text);
    }
    return converted;
}

std::size_t Utf8WholeCharacters(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    // The last lead byte within the longest sequence's reach: a cut-off
    // sequence is a lead followed by fewer continuation bytes than it needs.
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, size); ++back) {
        const unsigned char b = p[size - back];
        if (IsContinuation(b)) {
            continue;
        }
        return kSequenceLengths[b] > back ? size - back : size;
    }
    return size;
}

std::optional<std::size_t> Utf8ToCp1252WideningLineFeeds(std::string_view utf8, char* out,
                                                         bool& lossless) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    char* o = out;
    if (!ConvertUtf8<true, true>(p, p + utf8.size(), o, lossless)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(o - out);
}

void AssignCp1252AsUtf8(std::string& out, std::string_view cp1252) {
    const auto* p = reinterpret_cast<const unsigned char*>(cp1252.data());
    const auto* const end = p + cp1252.size();
    std::size_t length = 0;
    for (const auto* q = p; q < end; ++q) {
        length += kUtf8Encodings[*q].length;
    }
    out.resize(length);
    char* o = out.data();
    while ((p = CopyAsciiRun<true>(p, end, o)) < end) {
        const Utf8Encoding& e = kUtf8Encodings[*p++];
        std::memcpy(o, e.bytes.data(), e.length);
        o += e.length;
    }
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    AssignCp1252AsUtf8(out, cp1252);
    return out;
}

void Cp1252ToUtf8Pieces(std::string_view cp1252,
                        const std::function<void(std::string_view)>& write) {
    // Large enough that the calls cost nothing, small enough to stay in cache.
    constexpr std::size_t kPiece = 256 * 1024;
    std::string piece; // one buffer for every piece: no fresh memory each time
    for (std::size_t at = 0; at < cp1252.size(); at += kPiece) {
        AssignCp1252AsUtf8(piece, cp1252.substr(at, kPiece));
        write(piece);
    }
}

char Cp1252UpperCase(char c) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
        return static_cast<char>(b - 0x20);
    }
    switch (b) {
    case 0x9A: // š
    case 0x9C: // œ
    case 0x9E: // ž
        return static_cast<char>(b - 0x10);
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}
