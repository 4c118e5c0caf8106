#pragma once
// The Windows-1252 code page, the byte encoding of every text in the core,
// and its conversions to and from UTF-8.

#include <string>
#include <string_view>

// UTF-8 -> Windows-1252. A character the code page cannot hold becomes "?".
// A text that is not valid UTF-8 as a whole gives the empty text.
std::string Utf8ToCp1252(std::string_view utf8);

// Windows-1252 -> UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
std::string Cp1252ToUtf8(std::string_view cp1252);
