#include "emulator/canonical_xml.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace satemu {
namespace {

// Text (attribute false) or an attribute value, escaped as the canonical
// form wants it.
void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char c : text) {
        const char* escaped = nullptr;
        switch (c) {
        case '&':
            escaped = "&amp;";
            break;
        case '<':
            escaped = "&lt;";
            break;
        case '\r':
            escaped = "&#xD;";
            break;
        case '>':
            escaped = attribute ? nullptr : "&gt;";
            break;
        case '"':
            escaped = attribute ? "&quot;" : nullptr;
            break;
        case '\t':
            escaped = attribute ? "&#x9;" : nullptr;
            break;
        case '\n':
            escaped = attribute ? "&#xA;" : nullptr;
            break;
        default:
            break;
        }
        if (escaped) {
            out += escaped;
        } else {
            out += c;
        }
    }
}

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value, true);
    out += '"';
}

// `inScope`: the default namespace in scope at the element from its parent;
// `rendered`: the one the output so far declares around it.
void AppendElement(std::string& out, const pugi::xml_node& element, std::string_view inScope,
                   std::string_view rendered) {
    out += '<';
    out += element.name();
    std::string_view declared = inScope;
    std::vector<pugi::xml_attribute> attributes;
    for (const pugi::xml_attribute attribute : element.attributes()) {
        if (std::strcmp(attribute.name(), "xmlns") == 0) {
            declared = attribute.value();
        } else {
            attributes.push_back(attribute);
        }
    }
    // A declaration the output already has in scope is not repeated.
    if (declared != rendered) {
        AppendAttribute(out, "xmlns", declared);
    }
    std::sort(attributes.begin(), attributes.end(),
              [](const pugi::xml_attribute& a, const pugi::xml_attribute& b) {
                  return std::strcmp(a.name(), b.name()) < 0;
              });
    for (const pugi::xml_attribute& attribute : attributes) {
        AppendAttribute(out, attribute.name(), attribute.value());
    }
    out += '>';
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

std::string Canonical(const pugi::xml_node& element, std::string_view inheritedNamespace) {
    std::string out;
    AppendCanonical(out, element, inheritedNamespace);
    return out;
}

} // namespace satemu
