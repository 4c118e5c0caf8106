#pragma once
// Fixed-point amounts of the sale documents. Money is held in cents and every
// other quantity scaled to an integer, so totals never drift by rounding.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace satemu {

// A non-negative decimal written with "." as the point: 1 to maxIntegerDigits
// digits, then, when minDecimals..maxDecimals allows it, the point and that
// many digits. The value comes back multiplied by 10^scale (scale must be at
// least maxDecimals). "50.00" with scale 2 gives 5000.
std::optional<std::int64_t> ParseDecimal(std::string_view text, int minDecimals, int maxDecimals,
                                         int maxIntegerDigits, int scale);

// Cents as the documents write them: "2.00", "1234.50", "-0.10".
std::string FormatCents(std::int64_t cents);

// value / divisor rounded half away from zero (divisor > 0).
std::int64_t RoundedDivide(std::int64_t value, std::int64_t divisor);

// Overflow-checked arithmetic for totals built from untrusted documents.
std::optional<std::int64_t> CheckedAdd(std::int64_t a, std::int64_t b);
std::optional<std::int64_t> CheckedMultiply(std::int64_t a, std::int64_t b);

} // namespace satemu
