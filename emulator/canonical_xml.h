#pragma once
// Canonical XML 1.0 (2001, without comments) of the documents the device
// builds: what the device signs, and what it writes, are the same bytes.
// Empty elements get an end tag, attributes come in order of their names
// after the namespace declaration, text is escaped as the canonical form
// wants it (CR as "&#xD;"), CDATA sections become escaped text.
// The trees it is given hold unprefixed names only: the documents the device
// accepts carry no namespace of their own.

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace satemu {

// Appends the canonical form of `element` as the apex of a document subset.
// `inheritedNamespace` is the default namespace in scope at the element from
// ancestors outside the subset (the XML-DSig namespace for SignedInfo), which
// the canonical form declares on the apex.
void AppendCanonical(std::string& out, const pugi::xml_node& element,
                     std::string_view inheritedNamespace = {});

std::string Canonical(const pugi::xml_node& element, std::string_view inheritedNamespace = {});

// Pieces for writing a canonical document directly, without a tree, within a
// subset without namespaces: the start tag of an element (its attributes in
// order, no namespace declaration around it), escaped text, and an element
// holding only text.
void AppendCanonicalStartTag(std::string& out, const pugi::xml_node& element);
void AppendCanonicalText(std::string& out, std::string_view text);
void AppendCanonicalField(std::string& out, std::string_view name, std::string_view text);

} // namespace satemu
