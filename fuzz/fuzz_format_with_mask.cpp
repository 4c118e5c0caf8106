// FormatWithMask with any mask and any number, NaN, infinities and huge
// values included: no fault.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "rules/text_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) {
        return 0;
    }
    double number = 0;
    std::memcpy(&number, data, sizeof number);
    const std::string_view mask(reinterpret_cast<const char*>(data + sizeof number),
                                size - sizeof number);
    FormatWithMask(mask, number);
    FormatWithMask(mask, static_cast<double>(static_cast<std::int64_t>(data[0]) * 1000003));
    return 0;
}
