#pragma once
// Numeric fields are read with TextToFloat and written back as whole numbers,
// as the display formats "0" (no leading zeros) and "000" (three digits) do.

#include <string>
#include <string_view>

// The value a numeric field holds once written back: TextToFloat(text)
// rounded to a whole number, halves away from zero ("12,5" -> 13). Checks
// use this value, so what is checked is what the field and the documents
// show.
double WholeNumberValue(std::string_view text);

// value rounded as above and printed with at least minDigits digits,
// zero-padded, the sign before the zeros: (7, 3) -> "007", (7, 1) -> "7",
// (1234, 3) -> "1234", (-5, 3) -> "-005", (-0.2, 1) -> "0".
std::string FormatWholeNumber(double value, int minDigits);
