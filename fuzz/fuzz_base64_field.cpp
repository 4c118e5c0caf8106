// DecodeBase64Field against a plain bit-by-bit decoder: the same bytes, with
// every LF preceded by a CR, for any input. A payload shown for display
// gives the device's exact bytes back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "sat/base64_field.h"

namespace {

int ValueOf(unsigned char c) {
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

// The decoded bytes; widened, every LF gets a CR before it.
std::string ReferenceDecode(std::string_view field, bool widened = true) {
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (const char c : field) {
        const int value = ValueOf(static_cast<unsigned char>(c));
        if (value < 0) {
            continue;
        }
        bits = (bits << 6) | static_cast<unsigned>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            const char byte = static_cast<char>((bits >> count) & 0xFF);
            if (widened && byte == '\n') {
                out.push_back('\r');
            }
            out.push_back(byte);
            bits &= (1U << count) - 1;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view field(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(DecodeBase64Field(field) == ReferenceDecode(field));

    // Appended after a prefix, the prefix stays and the decoding follows it.
    std::string out = "1|15000|ok|||";
    AppendBase64Field(out, field);
    FUZZ_CHECK(out == "1|15000|ok|||" + ReferenceDecode(field));

    std::string shown = "1|15000|ok|||";
    const Base64Payload payload = AppendBase64Payload(shown, field);
    FUZZ_CHECK(payload.begin + payload.size == shown.size());
    std::string device;
    WriteDevicePayload(std::string_view(shown).substr(payload.begin, payload.size), payload,
                       [&device](std::string_view piece) { device.append(piece); });
    FUZZ_CHECK(device == ReferenceDecode(field, false));
    return 0;
}
