#include "emulator/xml_fields.h"

#include "emulator/decimal.h"
#include "emulator/document_numbers.h"
#include "emulator/text_encoding.h"

#include <cstring>

namespace satemu {

bool LoadSentDocument(std::string_view text, pugi::xml_document& xml) {
    if (!IsValidUtf8(text) || !xml.load_buffer(text.data(), text.size(),
                                               pugi::parse_default | pugi::parse_doctype,
                                               pugi::encoding_utf8)) {
        return false;
    }
    for (const pugi::xml_node node : xml.children()) {
        if (node.type() == pugi::node_doctype) {
            return false;
        }
    }
    return true;
}

bool HasQualifiedNames(const pugi::xml_node& element) {
    if (std::strchr(element.name(), ':')) {
        return true;
    }
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (std::strchr(attribute.name(), ':') || std::strcmp(attribute.name(), "xmlns") == 0) {
            return true;
        }
    }
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_element && HasQualifiedNames(child)) {
            return true;
        }
    }
    return false;
}

Single Child(const pugi::xml_node& parent, const char* name) {
    Single single;
    single.node = parent.child(name);
    single.twice = single.node && single.node.next_sibling(name);
    return single;
}

std::optional<std::int64_t> Amount(const pugi::xml_node& parent, const char* name, int minDecimals,
                                   int maxDecimals, int integerDigits, int scale,
                                   std::optional<std::int64_t> fallback) {
    const Single child = Child(parent, name);
    if (!child) {
        return fallback;
    }
    if (child.twice) {
        return std::nullopt;
    }
    return ParseDecimal(child.Text(), minDecimals, maxDecimals, integerDigits, scale);
}

bool TextBetween(const Single& field, std::size_t minLength, std::size_t maxLength) {
    const std::size_t length = field ? Utf8Length(field.Text()) : 0;
    return field && !field.twice && length >= minLength && length <= maxLength;
}

bool DigitsField(const Single& field, std::size_t length) {
    return field && !field.twice && IsDigits(field.Text(), length);
}

} // namespace satemu
