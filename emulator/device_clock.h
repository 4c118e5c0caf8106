#pragma once
// The device's clock. Times are kept as seconds since 1970-01-01 UTC and shown
// in the device's own zone, Brasília time (UTC-3, without daylight saving
// since 2019), as the SAT standard's AAAAMMDDhhmmss texts.
//
// The time can be injected: a setting of 14 digits AAAAMMDDhhmmss fixes the
// clock at that device time, a setting "+N" or "-N" moves the system clock by
// N seconds. Tests use it to cross the 30-minute cancellation window without
// waiting.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace satemu {

// The clock for a setting (empty: the system clock). A setting that is neither
// form leaves the system clock.
std::int64_t DeviceNow(std::string_view setting, std::int64_t systemNow);

// The system clock, in seconds since the epoch.
std::int64_t SystemNow();

// AAAAMMDDhhmmss in device time -> seconds since the epoch; nothing for a
// text that is not a real date and time.
std::optional<std::int64_t> ParseDeviceStamp(std::string_view stamp);

std::string FormatStamp(std::int64_t epoch);     // AAAAMMDDhhmmss
std::string FormatDate(std::int64_t epoch);      // AAAAMMDD
std::string FormatTime(std::int64_t epoch);      // hhmmss
std::string FormatYearMonth(std::int64_t epoch); // AAMM, as in the access key

// The same device time a number of whole years later (29 February becomes
// 28 February in a common year).
std::int64_t AddYears(std::int64_t epoch, int years);

} // namespace satemu
