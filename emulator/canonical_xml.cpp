#include "emulator/canonical_xml.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

namespace satemu {
namespace {

// What a character becomes in text (attribute false) or in an attribute
// value, as the canonical form wants it; nothing for the characters that
// stay as they are.
const char* EscapeOf(char c, bool attribute) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '\r':
        return "&#xD;";
    case '>':
        return attribute ? nullptr : "&gt;";
    case '"':
        return attribute ? "&quot;" : nullptr;
    case '\t':
        return attribute ? "&#x9;" : nullptr;
    case '\n':
        return attribute ? "&#xA;" : nullptr;
    default:
        return nullptr;
    }
}

// Text or an attribute value, escaped; the runs between the characters to
// escape are copied whole, as almost every text is one such run.
void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const char* escaped = EscapeOf(text[i], attribute)) {
            out.append(text.data() + run, i - run);
            out += escaped;
            run = i + 1;
        }
    }
    out.append(text.data() + run, text.size() - run);
}

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value, true);
    out += '"';
}

bool NameBefore(const pugi::xml_attribute& a, const pugi::xml_attribute& b) {
    return std::strcmp(a.name(), b.name()) < 0;
}

// The start tag of `element`: its namespace declaration when it differs
// from the one the output declares around it (`rendered`), then its other
// attributes in order of their names. Gives the default namespace in scope
// inside it, `inScope` unless it declares one.
std::string_view AppendStartTag(std::string& out, const pugi::xml_node& element,
                                std::string_view inScope, std::string_view rendered) {
    out += '<';
    out += element.name();
    if (!element.first_attribute()) {
        // Most elements of a CF-e have none.
        if (inScope != rendered) {
            AppendAttribute(out, "xmlns", inScope);
        }
        out += '>';
        return inScope;
    }
    std::string_view declared = inScope;
    // The elements of a CF-e carry a few attributes each: they are sorted in
    // place here, a longer list in a vector of its own.
    std::array<pugi::xml_attribute, 8> few;
    std::vector<pugi::xml_attribute> many;
    std::size_t count = 0;
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (std::strcmp(attribute.name(), "xmlns") == 0) {
            declared = attribute.value();
        } else if (count < few.size()) {
            few[count++] = attribute;
        } else {
            if (many.empty()) {
                many.assign(few.begin(), few.end());
            }
            many.push_back(attribute);
        }
    }
    // A declaration the output already has in scope is not repeated.
    if (declared != rendered) {
        AppendAttribute(out, "xmlns", declared);
    }
    const std::span<pugi::xml_attribute> attributes =
        many.empty() ? std::span(few.data(), count) : std::span(many);
    std::sort(attributes.begin(), attributes.end(), NameBefore);
    for (const pugi::xml_attribute& attribute : attributes) {
        AppendAttribute(out, attribute.name(), attribute.value());
    }
    out += '>';
    return declared;
}

// `inScope`: the default namespace in scope at the element from its parent;
// `rendered`: the one the output so far declares around it.
void AppendElement(std::string& out, const pugi::xml_node& element, std::string_view inScope,
                   std::string_view rendered) {
    const std::string_view declared = AppendStartTag(out, element, inScope, rendered);
    for (const pugi::xml_node child : element.children()) {
        switch (child.type()) {
        case pugi::node_element:
            AppendElement(out, child, declared, declared);
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            AppendEscaped(out, child.value(), false);
            break;
        default:
            break; // comments and processing instructions are left out
        }
    }
    out += "</";
    out += element.name();
    out += '>';
}

} // namespace

void AppendCanonical(std::string& out, const pugi::xml_node& element,
                     std::string_view inheritedNamespace) {
    AppendElement(out, element, inheritedNamespace, {});
}

void AppendCanonicalStartTag(std::string& out, const pugi::xml_node& element) {
    AppendStartTag(out, element, {}, {});
}

void AppendCanonicalText(std::string& out, std::string_view text) {
    AppendEscaped(out, text, false);
}

void AppendCanonicalField(std::string& out, std::string_view name, std::string_view text) {
    out += '<';
    out += name;
    out += '>';
    AppendEscaped(out, text, false);
    out += "</";
    out += name;
    out += '>';
}

std::string Canonical(const pugi::xml_node& element, std::string_view inheritedNamespace) {
    std::string out;
    AppendCanonical(out, element, inheritedNamespace);
    return out;
}

} // namespace satemu
