#pragma once
// Brazilian registry numbers as the device checks them: digit strings with
// their modulo-11 check digits.

#include <string_view>

namespace satemu {

// True when text holds exactly `length` ASCII digits.
bool IsDigits(std::string_view text, std::size_t length);

// True when text holds between minLength and maxLength ASCII digits.
bool IsDigitsBetween(std::string_view text, std::size_t minLength, std::size_t maxLength);

// 14 digits with both check digits right; all zeros is refused.
bool IsValidCnpj(std::string_view digits);

// 11 digits with both check digits right; a run of one repeated digit is refused.
bool IsValidCpf(std::string_view digits);

} // namespace satemu
