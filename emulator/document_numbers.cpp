#include "emulator/document_numbers.h"

#include <algorithm>

namespace satemu {
namespace {

// Check digit over digits[0..count) with the given weights, modulo 11.
int CheckDigit(std::string_view digits, std::size_t count, const int* weights) {
    int sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += (digits[i] - '0') * weights[i];
    }
    const int rest = sum % 11;
    return rest < 2 ? 0 : 11 - rest;
}

bool AllSame(std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [&](char c) { return c == digits[0]; });
}

} // namespace

bool IsDigits(std::string_view text, std::size_t length) {
    return text.size() == length && IsDigitsBetween(text, length, length);
}

bool IsDigitsBetween(std::string_view text, std::size_t minLength, std::size_t maxLength) {
    return text.size() >= minLength && text.size() <= maxLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsValidCnpj(std::string_view digits) {
    static constexpr int kFirst[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static constexpr int kSecond[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    if (!IsDigits(digits, 14) || AllSame(digits)) {
        return false;
    }
    return CheckDigit(digits, 12, kFirst) == digits[12] - '0' &&
           CheckDigit(digits, 13, kSecond) == digits[13] - '0';
}

bool IsValidCpf(std::string_view digits) {
    static constexpr int kFirst[] = {10, 9, 8, 7, 6, 5, 4, 3, 2};
    static constexpr int kSecond[] = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
    if (!IsDigits(digits, 11) || AllSame(digits)) {
        return false;
    }
    return CheckDigit(digits, 9, kFirst) == digits[9] - '0' &&
           CheckDigit(digits, 10, kSecond) == digits[10] - '0';
}

} // namespace satemu
