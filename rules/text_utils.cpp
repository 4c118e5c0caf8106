#include "rules/text_utils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

#include "rules/cp1252.h"

namespace {

constexpr std::string_view kNumberCharacters = "0123456789.-";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text before the first character that is not a digit, "." or "-".
std::string_view LeadingNumberCharacters(std::string_view s) {
    return s.substr(0, std::min(s.find_first_not_of(kNumberCharacters), s.size()));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Cp1252UpperCase(a[i]) != Cp1252UpperCase(b[i])) {
            return false;
        }
    }
    return true;
}

// Inserts piece before the 1-based position (appends when past the end).
void InsertAt(std::string& s, std::size_t position, char piece) {
    const std::size_t index = position == 0 ? 0 : std::min(position - 1, s.size());
    s.insert(s.begin() + static_cast<std::ptrdiff_t>(index), piece);
}

} // namespace

std::string TrimBlanks(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

bool IsBlank(std::string_view s) {
    return s.find_first_not_of(' ') == std::string_view::npos;
}

// Deleting the leftmost occurrence and searching again from the start is the
// same as one pass that appends each byte and drops p whenever the output
// ends with it: the leftmost occurrence is also the one that ends first, and
// the output before it never holds an occurrence. This keeps the cost at
// length(s) x length(p) instead of quadratic in length(s).
std::string RemoveAll(std::string_view s, std::string_view p) {
    if (p.empty()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        out.push_back(c);
        if (out.size() >= p.size() && std::string_view(out).substr(out.size() - p.size()) == p) {
            out.resize(out.size() - p.size());
        }
    }
    return out;
}

std::string ReplaceAllText(std::string_view s, std::string_view oldPattern,
                           std::string_view newPattern) {
    if (oldPattern.empty()) {
        return std::string(s);
    }
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        if (s.size() - i >= oldPattern.size() &&
            EqualsIgnoringCase(s.substr(i, oldPattern.size()), oldPattern)) {
            out.append(newPattern);
            i += oldPattern.size();
        } else {
            out.push_back(s[i]);
            ++i;
        }
    }
    return out;
}

std::string RepeatText(std::string_view s, std::int32_t n) {
    std::string out;
    if (n <= 0 || s.empty()) {
        return out;
    }
    out.reserve(s.size() * static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        out.append(s);
    }
    return out;
}

std::string ZeroPad(double x, std::int32_t width, std::int32_t decimals) {
    // A negative width would left-align in printf; a negative decimal count
    // means none.
    const int w = std::max(width, 0);
    const int d = std::max(decimals, 0);
    const int length = std::snprintf(nullptr, 0, "%*.*f", w, d, x);
    if (length <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), "%*.*f", w, d, x);
    out.resize(static_cast<std::size_t>(length));
    for (char& c : out) {
        if (c == ' ') {
            c = '0';
        }
    }
    return out;
}

std::string FormatWithMask(std::string_view mask, double x) {
    std::string core(mask);
    for (const std::string_view separator : {",", "/", "-", ";"}) {
        core = ReplaceAllText(core, separator, "");
    }
    const auto width = static_cast<std::int32_t>(core.size());
    const std::size_t point = core.find('.');
    const std::int32_t decimals =
        point == std::string::npos ? 0 : width - static_cast<std::int32_t>(point + 1);

    std::string digits = ZeroPad(x, width, decimals);
    for (char& c : digits) {
        if (c == '.') {
            c = ',';
        }
    }

    for (std::size_t i = 0; i < mask.size(); ++i) {
        const std::size_t position = i + 1;
        switch (mask[i]) {
        case ',':
        case ';':
            InsertAt(digits, position, '.');
            break;
        case '/':
            InsertAt(digits, position, '/');
            break;
        case '-':
            InsertAt(digits, position, '-');
            break;
        default:
            break;
        }
    }

    for (char& c : digits) {
        if (IsDigit(c) || c == '-') {
            break;
        }
        c = ' ';
    }
    return ReplaceAllText(digits, "-.", " -");
}

bool IsValidCnpj(double x) {
    if (x == 0) {
        return true;
    }
    const std::string s = ZeroPad(x, 14, 0);
    // Only fourteen digits make a CNPJ; a sign, a longer number, or a value
    // that printf cannot show as digits (infinity, NaN) is not one.
    if (s.size() != 14) {
        return false;
    }
    int d[14];
    for (std::size_t i = 0; i < 14; ++i) {
        if (!IsDigit(s[i])) {
            return false;
        }
        d[i] = s[i] - '0';
    }
    int w1 = 5;
    int w2 = 6;
    int sum1 = 0;
    int sum2 = 0;
    for (int i = 0; i < 13; ++i) {
        if (i < 12) {
            sum1 += d[i] * w1;
        }
        sum2 += d[i] * w2;
        --w1;
        --w2;
        if (w1 < 2) {
            w1 = 9;
        }
        if (w2 < 2) {
            w2 = 9;
        }
    }
    int c1 = (sum1 * 10) % 11;
    if (c1 == 10) {
        c1 = 0;
    }
    int c2 = 11 - (sum2 % 11);
    if (c2 == 10 || c2 == 11) {
        c2 = 0;
    }
    return d[12] == c1 && d[13] == c2;
}

std::int32_t TextToInt(std::string_view s) {
    const std::string cleaned = TrimBlanks(ReplaceAllText(s, ",", "."));
    const std::string_view number = LeadingNumberCharacters(cleaned);

    std::size_t i = 0;
    const bool negative = !number.empty() && number[0] == '-';
    if (negative) {
        ++i;
    }
    // Accumulate towards the sign so that the lowest value needs no special
    // case, and stop growing once beyond the 32-bit range: the result clamps.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (number[i] - '0');
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(std::max(-magnitude, -kLimit));
    }
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

double TextToFloat(std::string_view s) {
    std::string text(s);
    if (text.find('.') != std::string::npos && text.find(',') != std::string::npos) {
        text = TrimBlanks(RemoveAll(text, "."));
    }
    text = TrimBlanks(ReplaceAllText(text, ",", "."));
    const std::string_view number = LeadingNumberCharacters(text);
    if (number.empty()) {
        return 0;
    }
    // from_chars reads the longest well-formed prefix ("1.2.3" -> 1.2) and,
    // unlike strtod, ignores the process locale's decimal separator.
    double value = 0;
    const std::from_chars_result parsed = std::from_chars(
        number.data(), number.data() + number.size(), value, std::chars_format::fixed);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too many digits for a double: beyond its range when there is a
        // non-zero digit before the point, else too close to zero.
        const bool negative = number[0] == '-';
        const std::string_view whole = number.substr(negative ? 1 : 0);
        const std::string_view integerPart = whole.substr(0, whole.find('.'));
        const bool huge = integerPart.find_first_not_of('0') != std::string_view::npos;
        const double magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return parsed.ec == std::errc() ? value : 0.0;
}
