// The settings-file reader on any profile text: reading never faults, and
// after the session counter is written into a text, reading it gives the
// number written, whatever the text held before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "sat/session_counter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::int32_t number = 1 + (data[0] << 16 | data[1] << 8 | data[2]) % kLastSessionNumber;
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    ReadProfileInteger(text, kSessionSection, kSessionKey, 0);
    const std::string written =
        WriteProfileString(text, kSessionSection, kSessionKey, std::to_string(number));
    FUZZ_CHECK(ReadProfileInteger(written, kSessionSection, kSessionKey, 0) == number);
    FUZZ_CHECK(SessionNumberAfter(ReadProfileInteger(text, kSessionSection, kSessionKey, 0)) <=
               kLastSessionNumber);
    return 0;
}
