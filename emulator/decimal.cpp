#include "emulator/decimal.h"

#include <limits>

namespace satemu {

std::optional<std::int64_t> ParseDecimal(std::string_view text, int minDecimals, int maxDecimals,
                                         int maxIntegerDigits, int scale) {
    const std::size_t point = text.find('.');
    const std::string_view integerPart = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (integerPart.empty() || static_cast<int>(integerPart.size()) > maxIntegerDigits) {
        return std::nullopt;
    }
    if (point != std::string_view::npos && fraction.empty()) {
        return std::nullopt;
    }
    const int decimals = static_cast<int>(fraction.size());
    if (decimals < minDecimals || decimals > maxDecimals || decimals > scale) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const std::string_view part : {integerPart, fraction}) {
        for (const char c : part) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            const auto shifted = CheckedMultiply(value, 10);
            if (!shifted) {
                return std::nullopt;
            }
            value = *shifted + (c - '0');
        }
    }
    for (int i = decimals; i < scale; ++i) {
        const auto shifted = CheckedMultiply(value, 10);
        if (!shifted) {
            return std::nullopt;
        }
        value = *shifted;
    }
    return value;
}

std::string FormatCents(std::int64_t cents) {
    const bool negative = cents < 0;
    // Work on the magnitude as unsigned so the smallest value cannot overflow.
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(cents + 1)) + 1 : static_cast<std::uint64_t>(cents);
    std::string text = std::to_string(magnitude / 100);
    const auto rest = static_cast<unsigned>(magnitude % 100);
    text += '.';
    text += static_cast<char>('0' + rest / 10);
    text += static_cast<char>('0' + rest % 10);
    return negative ? "-" + text : text;
}

std::int64_t RoundedDivide(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    const std::int64_t remainder = value % divisor;
    if (remainder >= 0 ? remainder * 2 >= divisor : -remainder * 2 >= divisor) {
        return value >= 0 ? quotient + 1 : quotient - 1;
    }
    return quotient;
}

std::optional<std::int64_t> CheckedAdd(std::int64_t a, std::int64_t b) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    if ((b > 0 && a > kMax - b) || (b < 0 && a < kMin - b)) {
        return std::nullopt;
    }
    return a + b;
}

std::optional<std::int64_t> CheckedMultiply(std::int64_t a, std::int64_t b) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    if (a == 0 || b == 0) {
        return 0;
    }
    // Amounts here are never negative; refuse anything that might overflow.
    if (a < 0 || b < 0 || a > kMax / b) {
        return std::nullopt;
    }
    return a * b;
}

} // namespace satemu
