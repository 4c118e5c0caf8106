// TextToFloat on any text: no fault, and the same text gives the same value.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "rules/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double value = TextToFloat(text);
    const double again = TextToFloat(text);
    FUZZ_CHECK((std::isnan(value) && std::isnan(again)) || value == again);
    return 0;
}
