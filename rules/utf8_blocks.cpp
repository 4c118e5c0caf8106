#include "rules/utf8_blocks.h"

#include <array>
#include <bit>
#include <cstdint>

#include "rules/processor_features.h"

#ifdef DVT_X86_VECTOR_PATHS
#include <immintrin.h>

namespace {

// For each set of lead bytes (C3) among eight, the shuffle that gathers the
// other bytes to the front, in order.
constexpr std::array<std::array<std::int8_t, 8>, 256> MakeGatherTable() {
    std::array<std::array<std::int8_t, 8>, 256> table{};
    for (unsigned leads = 0; leads < 256; ++leads) {
        std::size_t kept = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((leads & (1U << i)) == 0) {
                table[leads][kept++] = static_cast<std::int8_t>(i);
            }
        }
        for (; kept < 8; ++kept) {
            table[leads][kept] = -1; // past the kept bytes: not counted
        }
    }
    return table;
}
constexpr auto kGather = MakeGatherTable();

// How many of eight bytes are leads, by the set of leads (no popcount
// instruction is assumed).
constexpr std::array<std::uint8_t, 256> MakeLeadCounts() {
    std::array<std::uint8_t, 256> counts{};
    for (unsigned leads = 0; leads < 256; ++leads) {
        counts[leads] = static_cast<std::uint8_t>(std::popcount(leads));
    }
    return counts;
}
constexpr auto kLeadCounts = MakeLeadCounts();

__attribute__((target("ssse3"))) void ConvertSsse3(const unsigned char*& p,
                                                   const unsigned char* end, char*& out) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i lead = _mm_set1_epi8(static_cast<char>(0xC3));
    const __m128i topTwoBits = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i continuationBits = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i accentShift = _mm_set1_epi8(0x40);
    const __m128i secondHalf = _mm_set1_epi8(8);
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
        const auto lineFeeds =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lineFeed)));
        if ((high | lineFeeds) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
            p += 16;
            out += 16;
            continue;
        }
        // The bytes taken this round: up to the first LF, and never a lead
        // without its continuation.
        unsigned take = lineFeeds != 0 ? static_cast<unsigned>(std::countr_zero(lineFeeds)) : 16;
        auto leads = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lead)));
        if (take > 0 && (leads >> (take - 1) & 1U) != 0) {
            --take;
        }
        const unsigned taken = (1U << take) - 1;
        const bool widen = take < 16 && (lineFeeds >> take & 1U) != 0;
        if (take == 0 && !widen) {
            return; // a lead whose continuation lies behind a LF
        }
        leads &= taken;
        high &= taken;
        const __m128i isContinuation =
            _mm_cmpeq_epi8(_mm_and_si128(block, topTwoBits), continuationBits);
        const auto continuations = static_cast<unsigned>(_mm_movemask_epi8(isContinuation)) & taken;
        // Every lead followed by its continuation, and no other byte from
        // 0x80 up.
        if (continuations != (leads << 1) || high != (leads | continuations)) {
            return;
        }
        const __m128i bytes = _mm_add_epi8(block, _mm_and_si128(isContinuation, accentShift));
        const unsigned firstLeads = leads & 0xFFU;
        const unsigned secondLeads = leads >> 8;
        const __m128i firstGather =
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kGather[firstLeads].data()));
        const __m128i secondGather = _mm_add_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kGather[secondLeads].data())),
            secondHalf);
        // Both halves are stored whole; the bytes past the taken ones are
        // overwritten by what follows.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(bytes, firstGather));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 8 - kLeadCounts[firstLeads]),
                         _mm_shuffle_epi8(bytes, secondGather));
        out += take - kLeadCounts[firstLeads] - kLeadCounts[secondLeads];
        p += take;
        if (widen) {
            out[0] = '\r';
            out[1] = '\n';
            out += 2;
            ++p;
        }
    }
}

} // namespace

void ConvertUtf8BlocksWideningLineFeeds(const unsigned char*& p, const unsigned char* end,
                                        char*& out) {
    if (ProcessorHasSsse3()) {
        ConvertSsse3(p, end, out);
    }
}

#else

void ConvertUtf8BlocksWideningLineFeeds(const unsigned char*&, const unsigned char*, char*&) {}

#endif
