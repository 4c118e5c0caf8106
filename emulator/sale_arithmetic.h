#pragma once
// The values the device computes for a sale, in cents, by the SAT standard's
// rules: vProd rounded or truncated by indRegra, the subtotal discount or
// increase shared over the items in proportion to their net values, vItem,
// and the totals of products (ICMSTot) and services (ISSQNtot).

#include <cstdint>
#include <optional>
#include <vector>

namespace satemu {

// One item, in cents.
struct ItemValues {
    std::int64_t vProd = 0, vDesc = 0, vOutro = 0, vItem = 0, vRatDesc = 0, vRatAcr = 0;
    std::int64_t vICMS = 0, vPIS = 0, vCOFINS = 0, vPISST = 0, vCOFINSST = 0;
    std::int64_t vBCISSQN = 0, vISSQN = 0;
    bool service = false; // taxed by ISSQN, else a product taxed by ICMS

    // vProd - vDesc + vOutro: what the item weighs in the subtotal's shares.
    std::int64_t Net() const { return vProd - vDesc + vOutro; }
};

// ICMSTot: the products.
struct ProductTotals {
    std::int64_t vICMS = 0, vProd = 0, vDesc = 0, vPIS = 0, vCOFINS = 0, vPISST = 0, vCOFINSST = 0,
                 vOutro = 0;
};

// ISSQNtot: the services.
struct ServiceTotals {
    std::int64_t vBC = 0, vISS = 0, vPIS = 0, vCOFINS = 0, vPISST = 0, vCOFINSST = 0;
};

struct SaleTotals {
    ProductTotals products;
    ServiceTotals services;
    bool anyProduct = false, anyService = false;
    std::int64_t vDescSubtot = 0, vAcresSubtot = 0, vCFe = 0, vPaid = 0, vTroco = 0;
};

// vProd of qCom (4 decimals, scaled by 10^4) times vUnCom (3 decimals, scaled
// by 10^3): rounded half up (indRegra "A") or truncated ("T"); nothing when
// the product does not fit.
std::optional<std::int64_t> ItemGross(std::int64_t quantity, std::int64_t unitPrice, bool truncate);

// `amount` shared in proportion to `weights` (0: the item takes no part),
// each share rounded half up; what rounding leaves over or short goes to the
// heaviest item (the first of equals), and only when that would carry its
// share below zero or, `capped`, above its weight, on to the next heaviest.
// The shares add up to `amount` exactly. Nothing when there is no weight to
// share over, or `capped` and the amount exceeds the weights' sum.
std::optional<std::vector<std::int64_t>> ShareInProportion(const std::vector<std::int64_t>& weights,
                                                           std::int64_t amount, bool capped);

// Shares the subtotal discount (vRatDesc) and increase (vRatAcr) over the
// items, services only when `servicesTakePart` (indRatISSQN "S"), and sets
// vItem = vProd - vDesc + vOutro - vRatDesc + vRatAcr. False when the
// adjustment cannot be shared (nothing to share over, a discount above the
// items it falls on).
bool ShareSubtotalAdjustment(std::vector<ItemValues>& items, std::int64_t discount,
                             std::int64_t increase, bool servicesTakePart);

// ICMSTot of the products, ISSQNtot of the services and vCFe, the sum of the
// items' vItem; false when a sum overflows.
bool SumTotals(const std::vector<ItemValues>& items, SaleTotals& totals);

} // namespace satemu
