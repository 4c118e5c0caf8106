#pragma once
// The Windows-1252 code page, the byte encoding of every text in the core,
// and its conversions to and from UTF-8.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// UTF-8 -> Windows-1252. A character the code page cannot hold becomes "?".
// A text that is not valid UTF-8 as a whole gives the empty text: a stray or
// missing continuation byte, a sequence cut off at the end, an overlong form,
// a surrogate (U+D800..U+DFFF) or a value beyond U+10FFFF.
std::string Utf8ToCp1252(std::string_view utf8);

// The same conversion for a text that may not be UTF-8 at all: a text that
// is not valid UTF-8 is kept as received, byte for byte, instead of emptied.
std::string Utf8ToCp1252OrAsReceived(std::string_view text);

// For a long UTF-8 text converted piece by piece: the length of the start
// of utf8 that does not end inside a character. A sequence cut off at the
// end (a lead byte and fewer continuation bytes than it needs) is left for
// the next piece; anything else, valid or not, counts as whole.
std::size_t Utf8WholeCharacters(std::string_view utf8);

// Utf8ToCp1252 of utf8 written to out, each LF as CR LF: out has room for
// utf8.size() bytes and one more per LF. The bytes written, or none when
// utf8 is not valid UTF-8 (out then holds a part of the result). lossless
// turns false when a character the code page lacks became "?".
std::optional<std::size_t> Utf8ToCp1252WideningLineFeeds(std::string_view utf8, char* out,
                                                         bool& lossless);

// Windows-1252 -> UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value.
std::string Cp1252ToUtf8(std::string_view cp1252);

// The same into out, whose memory is reused.
void AssignCp1252AsUtf8(std::string& out, std::string_view cp1252);

// Cp1252ToUtf8 of a long text handed to write in pieces, in order, so that
// no converted copy of the whole text is ever held.
void Cp1252ToUtf8Pieces(std::string_view cp1252,
                        const std::function<void(std::string_view)>& write);

// The capital of a Windows-1252 letter, including the accented ones and
// š ž œ ÿ (0x9A 0x9E 0x9C 0xFF -> 0x8A 0x8E 0x8C 0x9F); other bytes unchanged.
char Cp1252UpperCase(char c);
