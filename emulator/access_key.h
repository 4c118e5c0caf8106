#pragma once
// The 44-digit access key of a CF-e-SAT: cUF(2) AAMM(4) CNPJ(14) model "59"(2)
// nserieSAT(9) nCF(6) cNF(6) DV(1). Answers and documents carry it after "CFe".

#include <string>
#include <string_view>

namespace satemu {

// Modulo-11 check digit of the first 43 digits: weights 2..9 repeating from
// the rightmost digit; 11 - (sum mod 11), and 0 when that gives 10 or 11.
int AccessKeyCheckDigit(std::string_view first43);

struct AccessKeyParts {
    int uf = 35;
    std::string yearMonth; // AAMM
    std::string cnpj;      // 14 digits
    std::string serial;    // 9 digits
    int number = 0;        // nCF, 1..999999
    int code = 0;          // cNF, 0..999999
};

// The 44 digits, check digit included.
std::string BuildAccessKey(const AccessKeyParts& parts);

// 44 digits whose last one is the right check digit.
bool IsWellFormedAccessKey(std::string_view digits);

} // namespace satemu
