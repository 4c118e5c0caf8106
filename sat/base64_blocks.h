#pragma once
// Base64 decoding 32 characters at a time with the processor's vector
// instructions (AVX2 on x86-64), where the processor has them: a device log
// of tens of MB decodes several times faster than eight characters at a
// time. Elsewhere nothing is decoded here and the caller's own loop does
// all of it.

#include <cstddef>

struct Base64Blocks {
    std::size_t characters = 0; // read from the text
    std::size_t bytes = 0;      // written
    std::size_t lineFeeds = 0;  // LFs among the bytes written
};

// Decodes the whole blocks of 32 alphabet characters at the start of
// [text, text + size), stopping before the first block that holds any other
// character (or is cut off). Each block gives 24 bytes; dst has room for
// the bytes written and 8 more, which the last store may overwrite.
Base64Blocks DecodeBase64Blocks(const unsigned char* text, std::size_t size, char* dst);
