#pragma once
// Text arguments arrive in the program's ANSI code page (Windows-1252); the
// device keeps and answers UTF-8. These are the only conversions it needs.

#include <string>
#include <string_view>

namespace satemu {

// Windows-1252 -> UTF-8. The five bytes the code page leaves undefined map to
// the C1 control of the same value, so no byte is ever lost.
std::string WindowsToUtf8(std::string_view cp1252);

// UTF-8 -> Windows-1252, a character the code page cannot hold becoming "?".
// Input that is not valid UTF-8 is copied byte for byte.
std::string Utf8ToWindows(std::string_view utf8);

// Number of characters of valid UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view text);

} // namespace satemu
