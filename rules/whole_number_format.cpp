#include "rules/whole_number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "rules/text_utils.h"

namespace {

double RoundedWhole(double value) {
    const double whole = std::round(value);
    // -0.2 rounds to -0, which would print as "-0".
    return whole == 0 ? 0.0 : whole;
}

} // namespace

double WholeNumberValue(std::string_view text) {
    return RoundedWhole(TextToFloat(text));
}

std::string FormatWholeNumber(double value, int minDigits) {
    const double whole = RoundedWhole(value);
    const bool negative = std::signbit(whole);
    const double magnitude = std::fabs(whole);
    const int length = std::snprintf(nullptr, 0, "%.0f", magnitude);
    if (length <= 0) {
        return {};
    }
    std::string digits(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(digits.data(), digits.size(), "%.0f", magnitude);
    digits.resize(static_cast<std::size_t>(length));
    if (digits.size() < static_cast<std::size_t>(std::max(minDigits, 0))) {
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}
