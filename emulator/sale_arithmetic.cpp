#include "emulator/sale_arithmetic.h"

#include "emulator/decimal.h"

#include <algorithm>
#include <numeric>

namespace satemu {
namespace {

// amount * weight / total rounded half up, without overflowing on the way
// (amount and weight may each come near 10^15 cents).
std::int64_t ProportionalPart(std::int64_t amount, std::int64_t weight, std::int64_t total) {
#if defined(__SIZEOF_INT128__)
    __extension__ using Wide = __int128;
    const Wide product = static_cast<Wide>(amount) * weight;
    Wide quotient = product / total;
    if ((product % total) * 2 >= total) {
        ++quotient;
    }
    return static_cast<std::int64_t>(quotient);
#else
    return static_cast<std::int64_t>(static_cast<long double>(amount) * weight / total + 0.5L);
#endif
}

bool Accumulate(std::int64_t& total, std::int64_t value) {
    const auto sum = CheckedAdd(total, value);
    if (sum) {
        total = *sum;
    }
    return sum.has_value();
}

} // namespace

std::optional<std::int64_t> ItemGross(std::int64_t quantity, std::int64_t unitPrice,
                                      bool truncate) {
    // 4 + 3 decimals: the product is in units of 10^-7, cents are 10^-2.
    const auto product = CheckedMultiply(quantity, unitPrice);
    if (!product) {
        return std::nullopt;
    }
    return truncate ? *product / 100000 : RoundedDivide(*product, 100000);
}

std::optional<std::vector<std::int64_t>> ShareInProportion(const std::vector<std::int64_t>& weights,
                                                           std::int64_t amount, bool capped) {
    std::vector<std::int64_t> shares(weights.size(), 0);
    if (amount == 0) {
        return shares;
    }
    std::int64_t total = 0;
    for (const std::int64_t weight : weights) {
        if (weight < 0 || !Accumulate(total, weight)) {
            return std::nullopt;
        }
    }
    if (total == 0 || amount < 0 || (capped && amount > total)) {
        return std::nullopt;
    }
    std::int64_t rest = amount;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] > 0) {
            shares[i] = ProportionalPart(amount, weights[i], total);
            rest -= shares[i];
        }
    }
    std::vector<std::size_t> heaviestFirst(weights.size());
    std::iota(heaviestFirst.begin(), heaviestFirst.end(), std::size_t{0});
    std::stable_sort(heaviestFirst.begin(), heaviestFirst.end(),
                     [&](std::size_t a, std::size_t b) { return weights[a] > weights[b]; });
    for (const std::size_t i : heaviestFirst) {
        if (rest == 0 || weights[i] == 0) {
            break;
        }
        const std::int64_t room = rest > 0 ? (capped ? weights[i] - shares[i] : rest) : shares[i];
        const std::int64_t moved = std::min(rest > 0 ? rest : -rest, room);
        shares[i] += rest > 0 ? moved : -moved;
        rest += rest > 0 ? -moved : moved;
    }
    return shares;
}

bool ShareSubtotalAdjustment(std::vector<ItemValues>& items, std::int64_t discount,
                             std::int64_t increase, bool servicesTakePart) {
    std::vector<std::int64_t> weights;
    weights.reserve(items.size());
    for (const ItemValues& item : items) {
        weights.push_back(item.service && !servicesTakePart ? 0 : item.Net());
    }
    const auto discounts = ShareInProportion(weights, discount, true);
    const auto increases = ShareInProportion(weights, increase, false);
    if (!discounts || !increases) {
        return false;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        ItemValues& item = items[i];
        item.vRatDesc = (*discounts)[i];
        item.vRatAcr = (*increases)[i];
        const auto value = CheckedAdd(item.Net() - item.vRatDesc, item.vRatAcr);
        if (!value) {
            return false;
        }
        item.vItem = *value;
    }
    return true;
}

bool SumTotals(const std::vector<ItemValues>& items, SaleTotals& totals) {
    for (const ItemValues& item : items) {
        bool summed = Accumulate(totals.vCFe, item.vItem);
        if (item.service) {
            ServiceTotals& s = totals.services;
            totals.anyService = true;
            summed = summed && Accumulate(s.vBC, item.vBCISSQN) &&
                     Accumulate(s.vISS, item.vISSQN) && Accumulate(s.vPIS, item.vPIS) &&
                     Accumulate(s.vCOFINS, item.vCOFINS) && Accumulate(s.vPISST, item.vPISST) &&
                     Accumulate(s.vCOFINSST, item.vCOFINSST);
        } else {
            ProductTotals& p = totals.products;
            totals.anyProduct = true;
            summed = summed && Accumulate(p.vICMS, item.vICMS) && Accumulate(p.vProd, item.vProd) &&
                     Accumulate(p.vDesc, item.vDesc) && Accumulate(p.vPIS, item.vPIS) &&
                     Accumulate(p.vCOFINS, item.vCOFINS) && Accumulate(p.vPISST, item.vPISST) &&
                     Accumulate(p.vCOFINSST, item.vCOFINSST) && Accumulate(p.vOutro, item.vOutro);
        }
        if (!summed) {
            return false;
        }
    }
    return true;
}

} // namespace satemu
