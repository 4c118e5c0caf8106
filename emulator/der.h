#pragma once
// The few ASN.1 DER pieces the device's certificate request and certificate
// are made of, and a reader for the certificates sent back to it.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace satemu::der {

std::string Element(std::uint8_t tag, std::string_view content);
std::string Sequence(std::initializer_list<std::string_view> parts);
std::string Set(std::initializer_list<std::string_view> parts);
std::string UnsignedInteger(std::string_view bigEndianMagnitude);
std::string SmallInteger(std::uint32_t value);
std::string ObjectId(std::string_view dotted); // "1.2.840.113549.1.1.11"
std::string Null();
std::string BitString(std::string_view bytes);
std::string Utf8String(std::string_view text);
std::string PrintableString(std::string_view text);
std::string UtcTime(std::int64_t epoch); // YYMMDDhhmmssZ, in UTC
std::string ContextConstructed(int number, std::string_view content);

// One element read from the front of `in`, which is advanced past it.
struct Read {
    std::uint8_t tag = 0;
    std::string_view content;
};
std::optional<Read> Next(std::string_view& in);

// Seconds since the epoch of a UTCTime (YYMMDDhhmmssZ) or GeneralizedTime
// (YYYYMMDDhhmmssZ) content.
std::optional<std::int64_t> ParseTime(std::uint8_t tag, std::string_view content);

} // namespace satemu::der
