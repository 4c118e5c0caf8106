#include "emulator/access_key.h"

#include "emulator/document_numbers.h"

#include <cstdio>

namespace satemu {

int AccessKeyCheckDigit(std::string_view first43) {
    int sum = 0;
    int weight = 2;
    for (std::size_t i = first43.size(); i-- > 0;) {
        sum += (first43[i] - '0') * weight;
        weight = weight == 9 ? 2 : weight + 1;
    }
    const int digit = 11 - sum % 11;
    return digit >= 10 ? 0 : digit;
}

std::string BuildAccessKey(const AccessKeyParts& parts) {
    char head[64];
    std::snprintf(head, sizeof head, "%02d%.4s%.14s59%.9s%06d%06d", parts.uf % 100,
                  parts.yearMonth.c_str(), parts.cnpj.c_str(), parts.serial.c_str(),
                  parts.number % 1000000, parts.code % 1000000);
    std::string key = head;
    key += static_cast<char>('0' + AccessKeyCheckDigit(key));
    return key;
}

bool IsWellFormedAccessKey(std::string_view digits) {
    return IsDigits(digits, 44) && AccessKeyCheckDigit(digits.substr(0, 43)) == digits[43] - '0';
}

} // namespace satemu
