#include "emulator/xml_fields.h"

#include "emulator/decimal.h"
#include "emulator/document_numbers.h"
#include "emulator/text_encoding.h"

namespace satemu {

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
