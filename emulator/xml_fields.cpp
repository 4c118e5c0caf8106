#include "emulator/xml_fields.h"

#include "emulator/decimal.h"
#include "emulator/document_numbers.h"
#include "emulator/text_encoding.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace satemu {

namespace {

// Every "&" outside CDATA sections, comments and processing instructions
// starts one of the five predefined entities or a character reference: a
// document without a DTD can declare no other, and the parser would leave an
// undeclared one in the text as it stands.
bool OnlyPredefinedReferences(std::string_view text) {
    static constexpr std::pair<std::string_view, std::string_view> kSkipped[] = {
        {"<![CDATA[", "]]>"}, {"<!--", "-->"}, {"<?", "?>"}};
    // The next "<" or "&": a fast scan for each (the next "&" remembered
    // until passed), rather than find_first_of's test of every character
    // against the set.
    std::size_t reference = text.find('&');
    const auto next = [&text, &reference](std::size_t from) {
        if (reference != std::string_view::npos && reference < from) {
            reference = text.find('&', from);
        }
        return std::min(text.find('<', from), reference);
    };
    std::size_t i = 0;
    while ((i = next(i)) != std::string_view::npos) {
        if (text[i] == '<') {
            const auto* skipped =
                std::find_if(std::begin(kSkipped), std::end(kSkipped),
                             [&](const auto& s) { return text.substr(i).starts_with(s.first); });
            i = skipped == std::end(kSkipped) ? i + 1 : text.find(skipped->second, i);
            if (i == std::string_view::npos) {
                return true; // unterminated: the parser refuses it
            }
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos) {
            return false;
        }
        const std::string_view name = text.substr(i + 1, end - i - 1);
        const bool predefined =
            name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
        const bool decimal = name.size() > 1 && name[0] == '#' &&
                             name.find_first_not_of("0123456789", 1) == std::string_view::npos;
        const bool hexadecimal =
            name.size() > 2 && name.starts_with("#x") &&
            name.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos;
        if (!predefined && !decimal && !hexadecimal) {
            return false;
        }
        i = end + 1;
    }
    return true;
}

// The deepest element nesting of a tree, counted without recursion (the
// parent links lead back up), so a document nested a hundred thousand
// levels deep is measured on any stack.
std::size_t Depth(const pugi::xml_node& root) {
    std::size_t depth = 0;
    std::size_t deepest = 0;
    pugi::xml_node node = root.first_child();
    while (node) {
        if (node.type() == pugi::node_element) {
            deepest = std::max(deepest, depth + 1);
        }
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (node && !node.next_sibling() && node != root) {
            node = node.parent();
            --depth;
        }
        if (!node || node == root) {
            break;
        }
        node = node.next_sibling();
    }
    return deepest;
}

} // namespace

bool LoadSentDocument(std::string_view text, pugi::xml_document& xml) {
    if (!IsValidUtf8(text) || !OnlyPredefinedReferences(text) ||
        !xml.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype,
                         pugi::encoding_utf8)) {
        return false;
    }
    for (const pugi::xml_node node : xml.children()) {
        if (node.type() == pugi::node_doctype) {
            return false;
        }
    }
    // Everything after this point may walk the tree recursively.
    return Depth(xml) <= kMaxDocumentDepth;
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
