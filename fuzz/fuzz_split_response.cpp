// SplitResponse and the field count on any bytes: exactly n fields, none
// holding a separator, and the fields joined again are the start of the answer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "sat/response_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t n = data[0] % 40;
    const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto fields = SplitResponse(raw, n);
    FUZZ_CHECK(fields.size() == n);
    std::string joined;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        FUZZ_CHECK(fields[k].find('|') == std::string::npos);
        if (k > 0) {
            joined.push_back('|');
        }
        joined += fields[k];
    }
    const std::size_t count = CountResponseFields(raw);
    if (n >= count) {
        // Every field was taken: the join is the answer, less a final "|".
        const std::string_view whole = raw.ends_with('|') ? raw.substr(0, raw.size() - 1) : raw;
        FUZZ_CHECK(std::string_view(joined).substr(0, whole.size()) == whole);
    } else if (n > 0) {
        FUZZ_CHECK(raw.starts_with(joined + "|"));
    }
    return 0;
}
