#include "emulator/device_clock.h"

#include "emulator/document_numbers.h"

#include <charconv>
#include <chrono>
#include <cstdio>

namespace satemu {
namespace {

constexpr std::int64_t kZoneOffset = -3 * 3600; // Brasília time
constexpr std::int64_t kDay = 86400;

struct Civil {
    int year, month, day, hour, minute, second;
};

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yoe = year - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Civil CivilFromEpoch(std::int64_t epoch) {
    const std::int64_t local = epoch + kZoneOffset;
    std::int64_t days = local / kDay;
    std::int64_t seconds = local % kDay;
    if (seconds < 0) {
        seconds += kDay;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    Civil c{};
    c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2 ? 1 : 0));
    c.hour = static_cast<int>(seconds / 3600);
    c.minute = static_cast<int>(seconds / 60 % 60);
    c.second = static_cast<int>(seconds % 60);
    return c;
}

std::int64_t EpochFromCivil(const Civil& c) {
    return DaysFromCivil(c.year, c.month, c.day) * kDay + c.hour * 3600 + c.minute * 60 + c.second -
           kZoneOffset;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

int Number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

} // namespace

std::int64_t SystemNow() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t DeviceNow(std::string_view setting, std::int64_t systemNow) {
    if (setting.size() > 1 && (setting[0] == '+' || setting[0] == '-') &&
        IsDigitsBetween(setting.substr(1), 1, 12)) {
        std::int64_t offset = 0;
        std::from_chars(setting.data() + 1, setting.data() + setting.size(), offset);
        return setting[0] == '+' ? systemNow + offset : systemNow - offset;
    }
    if (const auto fixed = ParseDeviceStamp(setting)) {
        return *fixed;
    }
    return systemNow;
}

std::optional<std::int64_t> ParseDeviceStamp(std::string_view stamp) {
    if (!IsDigits(stamp, 14)) {
        return std::nullopt;
    }
    const Civil c{Number(stamp.substr(0, 4)),  Number(stamp.substr(4, 2)),
                  Number(stamp.substr(6, 2)),  Number(stamp.substr(8, 2)),
                  Number(stamp.substr(10, 2)), Number(stamp.substr(12, 2))};
    if (c.year < 1970 || c.month < 1 || c.month > 12 || c.day < 1 ||
        c.day > DaysInMonth(c.year, c.month) || c.hour > 23 || c.minute > 59 || c.second > 59) {
        return std::nullopt;
    }
    return EpochFromCivil(c);
}

std::string FormatStamp(std::int64_t epoch) {
    const Civil c = CivilFromEpoch(epoch);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second);
    return text;
}

std::string FormatDate(std::int64_t epoch) {
    return FormatStamp(epoch).substr(0, 8);
}

std::string FormatTime(std::int64_t epoch) {
    return FormatStamp(epoch).substr(8, 6);
}

std::string FormatYearMonth(std::int64_t epoch) {
    return FormatStamp(epoch).substr(2, 4);
}

std::int64_t AddYears(std::int64_t epoch, int years) {
    Civil c = CivilFromEpoch(epoch);
    c.year += years;
    if (c.day > DaysInMonth(c.year, c.month)) {
        c.day = DaysInMonth(c.year, c.month);
    }
    return EpochFromCivil(c);
}

} // namespace satemu
