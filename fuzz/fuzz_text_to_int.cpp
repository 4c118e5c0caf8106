// TextToInt on any text: no fault and no overflow (the value is clamped), and
// a plain decimal number reads back as itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "rules/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TextToInt(text);
    if (size >= 4) {
        std::int32_t number = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            number = static_cast<std::int32_t>(static_cast<std::uint32_t>(number) << 8 | data[i]);
        }
        FUZZ_CHECK(TextToInt(std::to_string(number)) == number);
    }
    return 0;
}
