#include "sat/base64_field.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include "rules/byte_words.h"
#include "rules/cp1252.h"
#include "sat/base64_blocks.h"
#include "sat/platform/huge_pages.h"

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

// Room the decoder needs beyond the decoded bytes: the fast paths store
// eight bytes of which they keep six, or 32 of which they keep 24.
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
    constexpr std::uint64_t firstSix =
        std::endian::native == std::endian::little ? 0x0000FFFFFFFFFFFFULL : 0xFFFFFFFFFFFF0000ULL;
    return byte_words::CountMarkedBytes(byte_words::MarkEqualBytesExactly(word, '\n') & firstSix);
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
        if (pending.count == 0) {
            const Base64Blocks blocks =
                DecodeBase64Blocks(p, static_cast<std::size_t>(end - p), dst + run.bytes);
            p += blocks.characters;
            run.bytes += blocks.bytes;
            run.lineFeeds += blocks.lineFeeds;
        }
        // Eight alphabet characters starting on a byte boundary
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

// The field is decoded a piece at a time into a buffer that stays in cache;
// each piece's bytes then go to their final place in one more step.
constexpr std::size_t kPieceCharacters = 64 * 1024; // a multiple of 8
// Bytes of a UTF-8 character cut off at the end of one piece, carried to the
// front of the next.
constexpr std::size_t kMaxCarry = 3;

// At most this many bytes come from field (four characters never give more
// than three).
std::size_t DecodedEstimate(std::string_view field) {
    return field.size() / 4 * 3 + 3;
}

// Decodes field piece by piece, handing take each piece's bytes and the LFs
// among them. take returns how many of the bytes it used (the rest, at most
// kMaxCarry, come again in front of the next piece's) or npos to stop. The
// bytes of the last piece are all taken or they stay behind: then the
// result is how many were left; otherwise 0.
template <typename Take> std::size_t DecodeInPieces(std::string_view field, Take take) {
    std::array<char, kMaxCarry + kPieceCharacters / 4 * 3 + 3 + kStoreSlack> buffer;
    PendingBits pending;
    std::size_t carried = 0;
    for (std::size_t at = 0; at < field.size(); at += kPieceCharacters) {
        const DecodedRun run =
            DecodeInto(buffer.data() + carried, field.substr(at, kPieceCharacters), pending);
        const std::size_t size = carried + run.bytes;
        const std::size_t used = take(std::string_view(buffer.data(), size), run.lineFeeds);
        if (used == std::string_view::npos) {
            return 0;
        }
        carried = size - used;
        std::memmove(buffer.data(), buffer.data() + used, carried);
    }
    return carried;
}

// Copies count bytes from src to dst, each LF preceded by a CR. Runs
// between line feeds move with memcpy. The bytes written.
std::size_t CopyWideningLineFeeds(const char* src, std::size_t count, char* dst) {
    char* const first = dst;
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
    return static_cast<std::size_t>(dst - first);
}

// The text a payload is appended to, grown a piece at a time within the
// memory reserved for it once, at its final size as far as the field tells:
// its decoded bytes and room for a LF in every 16 of them. A text with more
// line feeds moves once to a larger place.
class PayloadText {
public:
    PayloadText(std::string& out, std::string_view field)
        : out_(out), start_(out.size()), fieldSize_(field.size()) {
        const std::size_t decoded = DecodedEstimate(field);
        Reserve(start_ + decoded + decoded / 16);
    }

    std::size_t Start() const { return start_; }
    // Drops what was appended, keeping the memory.
    void Restart() { out_.resize(start_); }

    // Room for count bytes at the end, to be written and then kept by
    // Commit. (The room is zero-filled: a piece's worth, while it is in
    // cache anyway.)
    char* Room(std::size_t count, std::size_t fieldDone) {
        if (out_.size() + count > out_.capacity()) {
            Grow(count, fieldDone);
        }
        roomAt_ = out_.size();
        out_.resize(roomAt_ + count);
        return out_.data() + roomAt_;
    }
    // The first `written` bytes of the room belong to the text.
    void Commit(std::size_t written) { out_.resize(roomAt_ + written); }

private:
    void Reserve(std::size_t capacity) {
        if (capacity <= out_.capacity()) {
            return;
        }
        // A fresh buffer, advised before its first write: huge pages spare
        // the page fault of every 4 KiB of a log of tens of MB.
        std::string larger;
        larger.reserve(capacity);
        platform::PreferHugePages(larger.data(), larger.capacity() + 1);
        larger.append(out_);
        out_.swap(larger);
    }

    // Line feeds beyond the room: the rest of the field may be all of them.
    void Grow(std::size_t count, std::size_t fieldDone) {
        const std::size_t rest = (fieldSize_ - std::min(fieldDone, fieldSize_)) / 4 * 3 + 3;
        Reserve(out_.size() + count + 2 * rest);
    }

    std::string& out_;
    std::size_t start_;
    std::size_t fieldSize_;
    std::size_t roomAt_ = 0;
};

// The field's bytes appended to text as they are, every LF widened to CR LF.
// The number of LFs.
std::size_t AppendWideningLineFeeds(PayloadText& text, std::string_view field) {
    std::size_t fieldDone = 0;
    std::size_t allLineFeeds = 0;
    DecodeInPieces(field, [&](std::string_view bytes, std::size_t lineFeeds) {
        fieldDone += kPieceCharacters;
        allLineFeeds += lineFeeds;
        char* room = text.Room(bytes.size() + lineFeeds, fieldDone);
        text.Commit(CopyWideningLineFeeds(bytes.data(), bytes.size(), room));
        return bytes.size();
    });
    return allLineFeeds;
}

struct Utf8Outcome {
    bool valid = true;
    bool lossless = true;
    std::size_t lineFeeds = 0;
};

// The field's bytes appended to text converted from UTF-8, every LF widened
// to CR LF, in the same pass. Stops at the first piece that shows them not
// to be UTF-8, with text then holding a part.
Utf8Outcome AppendConvertingUtf8(PayloadText& text, std::string_view field) {
    Utf8Outcome outcome;
    std::size_t fieldDone = 0;
    const std::size_t left =
        DecodeInPieces(field, [&](std::string_view bytes, std::size_t lineFeeds) {
            fieldDone += kPieceCharacters;
            const std::size_t whole = Utf8WholeCharacters(bytes);
            // The carried bytes are no LFs: they belong to a character.
            char* room = text.Room(whole + lineFeeds, fieldDone);
            const std::optional<std::size_t> written =
                Utf8ToCp1252WideningLineFeeds(bytes.substr(0, whole), room, outcome.lossless);
            if (!written) {
                outcome.valid = false;
                return std::string_view::npos;
            }
            text.Commit(*written);
            outcome.lineFeeds += lineFeeds;
            return whole;
        });
    // A character cut off at the very end.
    outcome.valid = outcome.valid && left == 0;
    return outcome;
}

} // namespace

void WriteBase64FieldBytes(std::string_view field,
                           const std::function<void(std::string_view)>& write) {
    DecodeInPieces(field, [&write](std::string_view bytes, std::size_t) {
        if (!bytes.empty()) {
            write(bytes);
        }
        return bytes.size();
    });
}

void AppendBase64Field(std::string& out, std::string_view field) {
    PayloadText text(out, field);
    AppendWideningLineFeeds(text, field);
}

std::string DecodeBase64Field(std::string_view field) {
    std::string out;
    AppendBase64Field(out, field);
    return out;
}

Base64Payload AppendBase64Payload(std::string& out, std::string_view field) {
    Base64Payload payload;
    PayloadText text(out, field);
    const Utf8Outcome utf8 = AppendConvertingUtf8(text, field);
    payload.lineFeeds = utf8.lineFeeds;
    if (!utf8.valid) {
        // Not UTF-8 after all: the bytes stand as received.
        text.Restart();
        payload.lineFeeds = AppendWideningLineFeeds(text, field);
    } else if (!utf8.lossless) {
        // The text cannot give the device's bytes back: they are kept.
        payload.deviceBytes.reserve(DecodedEstimate(field));
        WriteBase64FieldBytes(field,
                              [&payload](std::string_view bytes) { payload.deviceBytes += bytes; });
    }
    payload.begin = text.Start();
    payload.size = out.size() - text.Start();
    payload.fromUtf8 = utf8.valid;
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
