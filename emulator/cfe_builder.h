#pragma once
// The signed CF-e-SAT documents the device issues: the sale (CFe) built from
// a checked sale document, and the cancellation (CFeCanc) of the last sale.

#include "emulator/device_key.h"
#include "emulator/device_state.h"
#include "emulator/sale_document.h"

#include <cstdint>
#include <pugixml.hpp>
#include <string>

namespace satemu {

// What the device sets in a document it issues.
struct IssueContext {
    const DeviceState& device;
    const DeviceKey& key;
    std::int64_t now = 0;
    int number = 0;          // nCFe
    int code = 0;            // cNF, random
    bool production = false; // tpAmb 1, else 2 (tests and developer kits)
};

struct IssuedDocument {
    std::string xml;         // UTF-8: the XML declaration, then the canonical document
    std::string key;         // 44 digits
    std::string qrSignature; // assinaturaQRCODE, Base64
    std::string timestamp;   // AAAAMMDDhhmmss
    std::int64_t totalCents = 0;
    std::string buyer;
};

IssuedDocument BuildSaleDocument(const SaleDocument& sale, const IssueContext& context);

// The cancellation: its own key and number, the cancelled sale's key in
// chCanc, and the sale's total and buyer.
struct CancellationInput {
    std::string softwareHouseCnpj;
    std::string signature;
    std::string cashRegister; // numeroCaixa
    pugi::xml_node extra;     // infAdic as sent, may be null
};
IssuedDocument BuildCancellationDocument(const CancellationInput& input, const SaleRecord& sale,
                                         const IssueContext& context);

// The text the QR-code signature signs: the QR code's own text without its
// last field, "chave44|AAAAMMDDhhmmss|vCFe|CPF-or-CNPJ" (the buyer empty when
// there is none), as receipt verifiers check it.
std::string QrCodeSignedText(const std::string& accessKey, const std::string& stamp,
                             std::int64_t totalCents, const std::string& buyer);

// The QR-code signature of a document (assinaturaQRCODE), Base64: the
// RSA-SHA256 signature of QrCodeSignedText.
std::string QrCodeSignature(const DeviceKey& key, const std::string& accessKey,
                            const std::string& stamp, std::int64_t totalCents,
                            const std::string& buyer);

} // namespace satemu
