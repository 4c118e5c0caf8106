#pragma once
// The cancellation document a point-of-sale system sends for the last sale
// (CFeCanc with chCanc = "CFe" and the sale's key), read and checked.

#include "emulator/cfe_builder.h"
#include "emulator/device_state.h"
#include "emulator/sale_document.h"

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace satemu {

struct CancellationDocument {
    pugi::xml_document xml;
    CancellationInput input;
};

// Reads and checks `text` as the cancellation of `sale` (whose 44-digit key is
// sale.key); on success `out` is filled and nothing is returned, else the
// rejection code for CCCC.
std::optional<int> ReadCancellationDocument(std::string_view text, const SaleRules& rules,
                                            const SaleRecord& sale, CancellationDocument& out);

} // namespace satemu
