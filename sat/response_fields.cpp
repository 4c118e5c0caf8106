#include "sat/response_fields.h"

#include <algorithm>

#include "rules/cp1252.h"
#include "rules/text_utils.h"

bool HasFieldSeparator(std::string_view raw) {
    return raw.find('|') != std::string_view::npos;
}

std::vector<std::string_view> SplitResponseViews(std::string_view raw, std::size_t n) {
    std::vector<std::string_view> fields(n);
    std::size_t start = 0; // first character after the previous separator
    for (std::size_t i = 0; i < n && start < raw.size(); ++i) {
        const std::size_t separator = raw.find('|', start);
        if (separator == std::string_view::npos) {
            fields[i] = raw.substr(start);
            break;
        }
        fields[i] = raw.substr(start, separator - start);
        start = separator + 1;
    }
    return fields;
}

std::size_t CountResponseFields(std::string_view raw) {
    return static_cast<std::size_t>(std::count(raw.begin(), raw.end(), '|')) + 1;
}

std::size_t ReachedResponseFields(std::string_view raw) {
    if (raw.empty()) {
        return 0;
    }
    return CountResponseFields(raw) - (raw.ends_with('|') ? 1 : 0);
}

bool IsBusyAnswer(std::string_view raw) {
    const std::vector<std::string_view> fields = SplitResponseViews(raw, 3);
    const auto digits = [](std::string_view text, std::size_t count) {
        return text.size() == count &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string code = TrimBlanks(fields[1]);
    if (!digits(code, 5) || !code.ends_with("098") || !digits(TrimBlanks(fields[2]), 4)) {
        return false;
    }
    // Six fields: five separators, counted no further (a log answer holds
    // tens of MB).
    std::size_t separators = 0;
    for (const char c : raw) {
        if (c == '|' && ++separators > 5) {
            return false;
        }
    }
    return separators == 5;
}

std::vector<std::string> SplitResponse(std::string_view raw, std::size_t n) {
    const std::vector<std::string_view> views = SplitResponseViews(raw, n);
    return {views.begin(), views.end()};
}

std::string ToQuotedCsv(std::string_view raw) {
    const std::string decoded = Utf8ToCp1252(raw);
    const auto separators =
        static_cast<std::size_t>(std::count(decoded.begin(), decoded.end(), '|'));
    std::string quoted;
    quoted.reserve(decoded.size() + 2 * separators + 2);
    quoted.push_back('"');
    std::size_t start = 0;
    for (std::size_t separator = decoded.find('|'); separator != std::string::npos;
         separator = decoded.find('|', start)) {
        quoted.append(decoded, start, separator - start).append("\",\"");
        start = separator + 1;
    }
    quoted.append(decoded, start, std::string::npos);
    quoted.push_back('"');
    return quoted;
}

std::string CsvField(std::size_t n, std::string_view line) {
    std::string field;
    std::size_t k = 1;
    bool quoted = false;
    for (const char c : line) {
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (k == n) {
                field.push_back(c);
            }
        } else if (c == ',') {
            if (k == n) {
                break;
            }
            ++k;
        } else if (c == '"') {
            quoted = true;
        } else if (k == n) {
            field.push_back(c);
        }
    }
    return field;
}

bool IsSuccessCode(std::string_view codeField, std::string_view successCode) {
    return TrimBlanks(codeField) == successCode;
}

bool IsAnySuccessCode(std::string_view codeField, std::span<const std::string_view> successCodes) {
    const std::string code = TrimBlanks(codeField);
    return std::find(successCodes.begin(), successCodes.end(), code) != successCodes.end();
}

std::string NormalizaRetorno(std::string_view text) {
    return ReplaceAllText(ReplaceAllText(text, "\",\"", "|"), "\"", "");
}
