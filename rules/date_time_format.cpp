#include "rules/date_time_format.h"

#include "rules/text_utils.h"

namespace {

// count characters of s from the 1-based position first; positions beyond
// the end are simply absent.
std::string_view Characters(std::string_view s, std::size_t first, std::size_t count) {
    if (first > s.size()) {
        return {};
    }
    return s.substr(first - 1, count);
}

} // namespace

std::string FormataDataHora(std::string_view s) {
    std::string result;
    result.reserve(19);
    result.append(Characters(s, 7, 2)).append("/");
    result.append(Characters(s, 5, 2)).append("/");
    result.append(Characters(s, 1, 4));

    const std::string_view time = Characters(s, 9, 6);
    if (IsBlank(time)) {
        return result;
    }
    result.append(" ").append(Characters(time, 1, 2));
    result.append(":").append(Characters(time, 3, 2));
    result.append(":").append(Characters(time, 5, 2));
    return result;
}
