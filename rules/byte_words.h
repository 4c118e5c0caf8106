#pragma once
// Texts of tens of MB (device logs) are scanned eight bytes at a time: a
// 64-bit word read from the text, its bytes tested all at once. A test marks
// a byte by setting its top bit (0x80).

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace byte_words {

inline constexpr std::uint64_t kEachByte = 0x0101010101010101ULL;
inline constexpr std::uint64_t kTopBits = 0x8080808080808080ULL;

// The eight bytes at p, as they lie in memory.
inline std::uint64_t Load(const void* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Marks the bytes of word that are 0x80 or above.
constexpr std::uint64_t MarkHighBytes(std::uint64_t word) {
    return word & kTopBits;
}

// Marks the bytes of word equal to c. The first marked byte in memory order
// is exact; bytes after it may be marked too (a borrow runs on from a match),
// so the result serves to test for any match and to find the first.
constexpr std::uint64_t MarkEqualBytes(std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (kEachByte * c); // zero where c was
    return (x - kEachByte) & ~x & kTopBits;
}

// Marks exactly the bytes of word equal to c, and no other: slower than
// MarkEqualBytes by a few operations, for counting matches.
constexpr std::uint64_t MarkEqualBytesExactly(std::uint64_t word, unsigned char c) {
    constexpr std::uint64_t kLow7 = ~kTopBits;
    const std::uint64_t x = word ^ (kEachByte * c); // zero where c was
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// How many bytes marks marks. A multiplication sums the marks (each moved
// down to 0x01) into the top byte: no popcount instruction is needed, which
// the build's target processor does not promise.
constexpr std::size_t CountMarkedBytes(std::uint64_t marks) {
    return static_cast<std::size_t>(((marks >> 7) * kEachByte) >> 56);
}

// The place in memory order (0 to 7) of the first marked byte; marks is not 0.
inline std::size_t FirstMarkedByte(std::uint64_t marks) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    } else {
        return static_cast<std::size_t>(std::countl_zero(marks)) / 8;
    }
}

} // namespace byte_words
