#pragma once
// Small readers for the elements of the documents point-of-sale systems send.

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string_view>

namespace satemu {

// An element that may appear once; `twice` tells when it appears again.
struct Single {
    pugi::xml_node node;
    bool twice = false;
    explicit operator bool() const { return static_cast<bool>(node); }
    std::string_view Text() const { return node.child_value(); }
};

Single Child(const pugi::xml_node& parent, const char* name);

// A decimal child (see ParseDecimal): absent gives `fallback`, present but
// malformed or repeated nothing.
std::optional<std::int64_t> Amount(const pugi::xml_node& parent, const char* name, int minDecimals,
                                   int maxDecimals, int integerDigits, int scale,
                                   std::optional<std::int64_t> fallback = std::nullopt);

// Present once, with minLength..maxLength characters.
bool TextBetween(const Single& field, std::size_t minLength, std::size_t maxLength);

// Present once, with exactly `length` digits.
bool DigitsField(const Single& field, std::size_t length);

} // namespace satemu
