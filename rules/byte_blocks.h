#pragma once
// Scans of texts of tens of MB (device logs) sixteen bytes at a time with
// SSE2, which every x86-64 processor has. Each scan covers whole blocks of
// 16 bytes and returns where it stopped: at the byte it looks for, or after
// the last whole block. The callers go on from there with their word loops
// (byte_words.h), which also do all of the work where SSE2 is missing.

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace byte_blocks {

#if defined(__SSE2__)
// Walks the whole blocks of 16 bytes from p up to the first byte that marks
// (block -> a bit per byte, as _mm_movemask_epi8 gives them) marks; stores
// each block whole at out first, unless out is null. The offset of that
// byte, or the bytes of the whole blocks.
template <typename Marks>
std::size_t ScanBlocks(const void* p, std::size_t size, char* out, Marks marks) {
    const auto* bytes = static_cast<const char*>(p);
    std::size_t at = 0;
    for (; size - at >= 16; at += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        if (out != nullptr) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), block);
        }
        if (const auto found = static_cast<unsigned>(marks(block)); found != 0) {
            return at + static_cast<std::size_t>(__builtin_ctz(found));
        }
    }
    return at;
}
#endif

// The offset of the first byte of [p, p + size) equal to a or b, within the
// whole blocks of 16; if there is none, the bytes of those blocks.
inline std::size_t FindEither(const char* p, std::size_t size, char a, char b) {
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(a);
    const __m128i second = _mm_set1_epi8(b);
    return ScanBlocks(p, size, nullptr, [&](__m128i block) {
        return _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(block, first), _mm_cmpeq_epi8(block, second)));
    });
#else
    (void)p, (void)size, (void)a, (void)b;
    return 0;
#endif
}

// Copies [p, p + size) to out, whole blocks of 16 at a time, up to the first
// byte that is 0x80 or above or equal to stop; the bytes before it (or of the
// whole blocks) count. Every block is stored whole, the one with the stop
// too: out lies apart from p and has room for size bytes.
inline std::size_t CopyAsciiBefore(const unsigned char* p, std::size_t size, char* out,
                                   unsigned char stop) {
#if defined(__SSE2__)
    const __m128i stops = _mm_set1_epi8(static_cast<char>(stop));
    return ScanBlocks(p, size, out, [&](__m128i block) {
        // The top bit of each byte marks the bytes at or above 0x80.
        return _mm_movemask_epi8(block) | _mm_movemask_epi8(_mm_cmpeq_epi8(block, stops));
    });
#else
    (void)p, (void)size, (void)out, (void)stop;
    return 0;
#endif
}

} // namespace byte_blocks
