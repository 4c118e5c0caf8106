#pragma once
// The sale document a point-of-sale system sends (CFe, versaoDadosEnt 0.06 to
// 0.08): read with a real XML parser, checked as a device checks it, and its
// item and document values computed (sale_arithmetic.h).

#include "emulator/sale_arithmetic.h"

#include <cstdint>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace satemu {

// Whom a document may name: the associated software house with its signature
// and the activated taxpayer (the end-to-end test also takes the standard's
// test identities).
struct SoftwareHouseIdentity {
    std::string cnpj;
    std::string signature;
};
struct TaxpayerIdentity {
    std::string cnpj;
    std::string ie; // empty: any well-formed IE
};
struct SaleRules {
    std::vector<SoftwareHouseIdentity> softwareHouses;
    std::vector<TaxpayerIdentity> taxpayers;
};

struct SaleDocument {
    pugi::xml_document xml;
    pugi::xml_node infCFe;
    std::string versaoDadosEnt;
    std::vector<ItemValues> items;
    SaleTotals totals;
    std::string buyer;         // CPF or CNPJ from dest, may be empty
    std::size_t sentBytes = 0; // the size of the document as sent
};

// Why a document was refused: 6004 (the software house or its signature do
// not match the association) or 6010 with the rejection code in `detail`.
struct SaleRejection {
    int code = 6010;
    int detail = 1999;
};

// Rejection codes in CCCC.
enum Rejection : int {
    kBadLayoutVersion = 1004,
    kBadTaxpayerCnpj = 1207,
    kBadSoftwareHouseCnpj = 1224,
    kBadBuyerCnpj = 1235,
    kBadBuyerCpf = 1237,
    kClockProblem = 1258,
    kTotalAbovePayments = 1408,
    kBadProductCode = 1459,
    kBadProductDescription = 1460,
    kBadNcm = 1461,
    kBadCfop = 1462,
    kBadUnit = 1463,
    kBadQuantity = 1464,
    kBadUnitPrice = 1465,
    kBadRule = 1466,
    kBadDiscount = 1467,
    kBadOtherCharges = 1468,
    kBadTaxes = 1469,
    kMissingNcm = 1470,
    kBadPaymentMethod = 1527,
    kBadPaymentValue = 1528,
    kUnidentified = 1999,
};

// Reads and checks `text`; on success `out` holds the parsed document and its
// values and nothing is returned.
std::optional<SaleRejection> ReadSaleDocument(std::string_view text, const SaleRules& rules,
                                              SaleDocument& out);

// Documents (sale and cancellation) larger than 1 500 KB are refused.
inline constexpr std::size_t kMaxDocumentBytes = 1500 * 1024;

} // namespace satemu
