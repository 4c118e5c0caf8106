#pragma once
// Text and number utilities shared by the field rules, the documents, the SAT
// operations and the pages. Texts are Windows-1252 byte strings; positions and
// lengths count bytes. Each function is pure: arguments are never changed.

#include <cstdint>
#include <string>
#include <string_view>

// Removes leading and trailing blanks (0x20 only; tabs and line breaks stay).
std::string TrimBlanks(std::string_view s);

// True when TrimBlanks(s) is empty.
bool IsBlank(std::string_view s);

// Deletes the leftmost occurrence of p again and again, restarting from the
// start each time, so pieces that join into a new occurrence go too.
std::string RemoveAll(std::string_view s, std::string_view p);

// Replaces every occurrence of oldPattern, compared without regard to letter
// case, scanning left to right; replaced text is not rescanned.
std::string ReplaceAllText(std::string_view s, std::string_view oldPattern,
                           std::string_view newPattern);

// s concatenated n times; n <= 0 gives the empty text.
std::string RepeatText(std::string_view s, std::int32_t n);

// Fixed-point x with `decimals` digits, right-aligned in `width` with leading
// zeros; a negative number keeps its sign after the zeros (-5, 4 -> "00-5").
std::string ZeroPad(double x, std::int32_t width, std::int32_t decimals);

// Digit mask formatting: ",", ";", "/", "-" are separators, "." the decimal
// point. FormatWithMask("00;000;000/0000-00", 16716114000172) is
// "16.716.114/0001-72".
std::string FormatWithMask(std::string_view mask, double x);

// CNPJ check digits; 0 counts as valid.
bool IsValidCnpj(double x);

// Leading optionally signed digits after "," -> "." and blank trimming;
// 0 when there are none. Values beyond the 32-bit range are clamped.
std::int32_t TextToInt(std::string_view s);

// Tolerant decimal conversion: "1.234,56" -> 1234.56, "12,5" -> 12.5,
// "192abc" -> 192, "" -> 0.
double TextToFloat(std::string_view s);
