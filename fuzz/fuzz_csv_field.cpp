// CsvField and NormalizaRetorno on any line, and the quoted form of an answer
// read back field by field: for an answer without double quotes, field k of
// ToQuotedCsv(raw) is field k of the answer, decoded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "rules/cp1252.h"
#include "sat/response_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t n = 0; n <= 4; ++n) {
        FUZZ_CHECK(CsvField(n, input).size() <= input.size());
    }
    FUZZ_CHECK(NormalizaRetorno(input).size() <= input.size());

    if (input.find('"') != std::string_view::npos || Utf8ToCp1252(input).empty()) {
        return 0;
    }
    const std::string quoted = ToQuotedCsv(input);
    const std::size_t count = CountResponseFields(input);
    const auto fields = SplitResponse(input, count);
    for (std::size_t k = 1; k <= count && k <= 8; ++k) {
        FUZZ_CHECK(CsvField(k, quoted) == Utf8ToCp1252(fields[k - 1]));
    }
    FUZZ_CHECK(CsvField(count + 1, quoted).empty());
    return 0;
}
