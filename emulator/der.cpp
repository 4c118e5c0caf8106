#include "emulator/der.h"

#include "emulator/device_clock.h"
#include "emulator/document_numbers.h"

#include <cstdio>
#include <vector>

namespace satemu::der {
namespace {

// Appends the DER length octets (built by appending: GCC 12 warns falsely
// about std::string concatenation of single characters at -O3).
void AppendLength(std::string& out, std::size_t length) {
    if (length < 0x80) {
        out.push_back(static_cast<char>(length));
        return;
    }
    std::string bytes;
    for (std::size_t rest = length; rest > 0; rest >>= 8) {
        bytes.insert(bytes.begin(), static_cast<char>(rest & 0xFF));
    }
    out.push_back(static_cast<char>(0x80 | bytes.size()));
    out.append(bytes);
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string content;
    for (const auto part : parts) {
        content += part;
    }
    return content;
}

void AppendBase128(std::string& out, std::uint64_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    for (value >>= 7; value > 0; value >>= 7) {
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    }
    out += bytes;
}

} // namespace

std::string Element(std::uint8_t tag, std::string_view content) {
    std::string element;
    element.reserve(content.size() + 6);
    element.push_back(static_cast<char>(tag));
    AppendLength(element, content.size());
    element.append(content);
    return element;
}

std::string Sequence(std::initializer_list<std::string_view> parts) {
    return Element(0x30, Joined(parts));
}

std::string Set(std::initializer_list<std::string_view> parts) {
    return Element(0x31, Joined(parts));
}

std::string UnsignedInteger(std::string_view magnitude) {
    std::size_t start = 0;
    while (start + 1 < magnitude.size() && magnitude[start] == '\0') {
        ++start;
    }
    std::string content(magnitude.substr(start));
    if (content.empty()) {
        content = std::string(1, '\0');
    }
    if (static_cast<unsigned char>(content[0]) & 0x80) {
        content.insert(content.begin(), '\0'); // keep it positive
    }
    return Element(0x02, content);
}

std::string SmallInteger(std::uint32_t value) {
    std::string magnitude;
    for (int shift = 24; shift >= 0; shift -= 8) {
        magnitude += static_cast<char>((value >> shift) & 0xFF);
    }
    return UnsignedInteger(magnitude);
}

std::string ObjectId(std::string_view dotted) {
    std::vector<std::uint64_t> arcs;
    std::uint64_t current = 0;
    for (const char c : dotted) {
        if (c == '.') {
            arcs.push_back(current);
            current = 0;
        } else {
            current = current * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    arcs.push_back(current);
    std::string content;
    AppendBase128(content, arcs[0] * 40 + (arcs.size() > 1 ? arcs[1] : 0));
    for (std::size_t i = 2; i < arcs.size(); ++i) {
        AppendBase128(content, arcs[i]);
    }
    return Element(0x06, content);
}

std::string Null() {
    return Element(0x05, {});
}

std::string BitString(std::string_view bytes) {
    std::string content(1, '\0'); // no unused bits
    content.append(bytes);
    return Element(0x03, content);
}

std::string Utf8String(std::string_view text) {
    return Element(0x0C, text);
}

std::string PrintableString(std::string_view text) {
    return Element(0x13, text);
}

std::string UtcTime(std::int64_t epoch) {
    // Device stamps are Brasília time; certificates carry UTC.
    const std::string stamp = FormatStamp(epoch + 3 * 3600);
    return Element(0x17, stamp.substr(2) + "Z");
}

std::string ContextConstructed(int number, std::string_view content) {
    return Element(static_cast<std::uint8_t>(0xA0 | number), content);
}

std::optional<Read> Next(std::string_view& in) {
    if (in.size() < 2) {
        return std::nullopt;
    }
    Read read;
    read.tag = static_cast<std::uint8_t>(in[0]);
    std::size_t length = static_cast<unsigned char>(in[1]);
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t count = length & 0x7F;
        if (count == 0 || count > 4 || in.size() < 2 + count) {
            return std::nullopt;
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = (length << 8) | static_cast<unsigned char>(in[2 + i]);
        }
        header += count;
    }
    if (in.size() - header < length) {
        return std::nullopt;
    }
    read.content = in.substr(header, length);
    in.remove_prefix(header + length);
    return read;
}

std::optional<std::int64_t> ParseTime(std::uint8_t tag, std::string_view content) {
    std::string digits;
    if (tag == 0x17 && content.size() == 13 && content.back() == 'Z') {
        const std::string_view yy = content.substr(0, 2);
        if (!IsDigits(yy, 2)) {
            return std::nullopt;
        }
        digits = (yy < "50" ? "20" : "19") + std::string(content.substr(0, 12));
    } else if (tag == 0x18 && content.size() == 15 && content.back() == 'Z') {
        digits = std::string(content.substr(0, 14));
    } else {
        return std::nullopt;
    }
    const auto local = ParseDeviceStamp(digits);
    if (!local) {
        return std::nullopt;
    }
    return *local - 3 * 3600; // the digits were UTC, not Brasília time
}

} // namespace satemu::der
