#include "emulator/canonical_xml.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace satemu {
namespace {

void AppendText(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            out += "&#xD;";
            break;
        default:
            out += c;
        }
    }
}

void AppendAttributeValue(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#x9;";
            break;
        case '\n':
            out += "&#xA;";
            break;
        case '\r':
            out += "&#xD;";
            break;
        default:
            out += c;
        }
    }
}

void AppendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendAttributeValue(out, value);
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
            AppendText(out, child.value());
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
