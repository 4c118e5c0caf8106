#include "sat/base64_blocks.h"

#include "rules/processor_features.h"

#ifdef DVT_X86_VECTOR_PATHS
#include <immintrin.h>
namespace {

// The vector method of Muła and Lemire: each character's value comes from
// adding a shift chosen by its high nibble (and "/" apart), and a character
// outside the alphabet is found by a table of its low nibble against one of
// its high nibble, which share a bit only then. The 32 six-bit values are
// then packed into 24 bytes by two multiply-adds and two shuffles.
__attribute__((target("avx2,popcnt"))) Base64Blocks DecodeAvx2(const unsigned char* text,
                                                               std::size_t size, char* dst) {
    const __m256i lowNibbleClass =
        _mm256_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A,
                         0x1B, 0x1B, 0x1B, 0x1A, 0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                         0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
    const __m256i highNibbleClass =
        _mm256_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10,
                         0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                         0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
    const __m256i shiftByHighNibble =
        _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4,
                         -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m256i slash = _mm256_set1_epi8(0x2F);
    const __m256i mergeSixBitPairs = _mm256_set1_epi32(0x01400140);
    const __m256i mergeTwelveBitPairs = _mm256_set1_epi32(0x00011000);
    const __m256i bytesInOrder =
        _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4,
                         10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    const __m256i lanesTogether = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
    const __m256i lineFeed = _mm256_set1_epi8('\n');

    Base64Blocks run;
    while (size - run.characters >= 32) {
        const __m256i characters =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + run.characters));
        // Only bits 0 to 3 (and 7) of a shuffle's index count, so masking
        // with 0x2F serves as masking with 0x0F.
        const __m256i highNibbles = _mm256_and_si256(_mm256_srli_epi32(characters, 4), slash);
        const __m256i lowNibbles = _mm256_and_si256(characters, slash);
        const __m256i high = _mm256_shuffle_epi8(highNibbleClass, highNibbles);
        const __m256i low = _mm256_shuffle_epi8(lowNibbleClass, lowNibbles);
        if (!_mm256_testz_si256(low, high)) {
            break; // a character outside the alphabet
        }
        const __m256i isSlash = _mm256_cmpeq_epi8(characters, slash);
        const __m256i shift =
            _mm256_shuffle_epi8(shiftByHighNibble, _mm256_add_epi8(isSlash, highNibbles));
        const __m256i values = _mm256_add_epi8(characters, shift);
        const __m256i pairs = _mm256_maddubs_epi16(values, mergeSixBitPairs);
        const __m256i words = _mm256_madd_epi16(pairs, mergeTwelveBitPairs);
        const __m256i bytes =
            _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(words, bytesInOrder), lanesTogether);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + run.bytes), bytes);
        const auto lineFeeds =
            static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, lineFeed)));
        run.lineFeeds += static_cast<std::size_t>(_mm_popcnt_u32(lineFeeds & 0x00FFFFFFU));
        run.characters += 32;
        run.bytes += 24;
    }
    return run;
}

} // namespace

Base64Blocks DecodeBase64Blocks(const unsigned char* text, std::size_t size, char* dst) {
    if (size < 32 || !ProcessorHasAvx2()) {
        return {};
    }
    return DecodeAvx2(text, size, dst);
}

#else

Base64Blocks DecodeBase64Blocks(const unsigned char*, std::size_t, char*) {
    return {};
}

#endif
