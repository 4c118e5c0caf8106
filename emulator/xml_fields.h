#pragma once
// Small readers for the elements of the documents point-of-sale systems send.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string_view>

namespace satemu {

// Parses a document a point-of-sale system sent: UTF-8 and well-formed, and
// without a document type declaration. A device never expands entities nor
// reads a file a document names: a DTD alone refuses the document.
// Deeper nesting than kMaxDocumentDepth levels refuses the document too (a
// CF-e needs seven): it is measured without recursion before anything walks
// the tree, so the recursive walks after it stay within that depth.
inline constexpr std::size_t kMaxDocumentDepth = 64;
bool LoadSentDocument(std::string_view text, pugi::xml_document& xml);

// True when the element or anything inside it has a prefixed name or a
// namespace declaration, which the SAT layout never has.
bool HasQualifiedNames(const pugi::xml_node& element);

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
