#pragma once
// The layout of the documents a point-of-sale system sends, as one table of
// field rules per document: which elements a group holds and in which order,
// how often each may occur, and what its text may be (lengths, digits,
// decimals, enumerations), with the rejection code a device answers when a
// field breaks its rule. Every field the issued CF-e copies from the sent
// document is checked here before anything is computed or signed, so the
// issued document keeps to the tax authority's schema.

#include <optional>
#include <pugixml.hpp>

namespace satemu {

// The rejection code (CCCC) of the first field that breaks the sale
// document's layout, nothing when `infCFe` keeps to it. The layout version,
// the identities and the values are checked elsewhere.
std::optional<int> CheckSaleLayout(const pugi::xml_node& infCFe);

// The same for the cancellation document's infCFe.
std::optional<int> CheckCancellationLayout(const pugi::xml_node& infCFe);

} // namespace satemu
