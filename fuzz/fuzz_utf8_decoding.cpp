// The Windows-1252 codec on any bytes: decoding never grows the text, and
// every Windows-1252 text survives the way to UTF-8 and back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "rules/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string decoded = Utf8ToCp1252(bytes);
    FUZZ_CHECK(decoded.size() <= bytes.size());
    FUZZ_CHECK(Utf8ToCp1252(Cp1252ToUtf8(bytes)) == bytes);
    return 0;
}
