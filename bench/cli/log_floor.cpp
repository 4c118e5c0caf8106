// The least a program can do to save a device's log: load the SAT library,
// call ExtrairLogs once, decode the answer's sixth field (Base64, line breaks
// skipped) and write the bytes to a file. No settings file, no code page, no
// dialogs: what `dravovexa-cli logs --saida` does beyond this is its own cost.
//
//     log_floor LIBRARY SESSION CODE OUTPUT_FILE

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sat/base64_blocks.h"

namespace {

using ExtrairLogsFn = const char* (*)(int, const char*);

constexpr unsigned char kSkip = 0xFF;

std::array<unsigned char, 256> Base64Values() {
    std::array<unsigned char, 256> values{};
    values.fill(kSkip);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (unsigned char i = 0; i < 64; ++i) {
        values[static_cast<unsigned char>(alphabet[i])] = i;
    }
    return values;
}

// Whole bytes of the Base64 text, characters outside the alphabet skipped,
// decoded by the same block decoder as the program's (the fastest here),
// written to output a piece at a time from a buffer that stays in cache: no
// fresh memory the size of the log is ever touched. False when a write fails.
bool WriteDecodedBase64(const char* text, std::size_t size, std::FILE* output) {
    static const std::array<unsigned char, 256> values = Base64Values();
    std::array<char, 48 * 1024> piece{};
    char* out = piece.data();
    char* const full = piece.data() + piece.size() - 3;
    const auto flush = [&] {
        const auto length = static_cast<std::size_t>(out - piece.data());
        out = piece.data();
        return std::fwrite(piece.data(), 1, length, output) == length;
    };
    unsigned int group = 0;
    int count = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (count == 0) {
            // Whole blocks of 32 characters with the processor's vector
            // instructions, as fast as this machine decodes Base64; they
            // store 8 bytes beyond the 24 they keep.
            const auto room = static_cast<std::size_t>(full - out);
            const std::size_t characters = std::min(size - i, room > 8 ? (room - 8) / 24 * 32 : 0);
            const Base64Blocks blocks = DecodeBase64Blocks(
                reinterpret_cast<const unsigned char*>(text + i), characters, out);
            i += blocks.characters;
            out += blocks.bytes;
            if (out >= full - 32 && !flush()) {
                return false;
            }
            if (i >= size) {
                break;
            }
        }
        const unsigned char value = values[static_cast<unsigned char>(text[i])];
        if (value == kSkip) {
            continue;
        }
        group = group << 6 | value;
        if (++count == 4) {
            *out++ = static_cast<char>(group >> 16);
            *out++ = static_cast<char>(group >> 8);
            *out++ = static_cast<char>(group);
            group = 0;
            count = 0;
            if (out >= full && !flush()) {
                return false;
            }
        }
    }
    if (count >= 2) {
        group <<= 6 * (4 - count);
        *out++ = static_cast<char>(group >> 16);
        if (count == 3) {
            *out++ = static_cast<char>(group >> 8);
        }
    }
    return flush();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fputs("usage: log_floor LIBRARY SESSION CODE OUTPUT_FILE\n", stderr);
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "log_floor: %s\n", dlerror());
        return 3;
    }
    const auto extrairLogs = reinterpret_cast<ExtrairLogsFn>(dlsym(library, "ExtrairLogs"));
    if (extrairLogs == nullptr) {
        return 3;
    }
    const char* answer = extrairLogs(std::atoi(argv[2]), argv[3]);
    if (answer == nullptr) {
        return 1;
    }
    // The sixth field, after five separators.
    const char* field = answer;
    for (int separators = 0; separators < 5 && field != nullptr; ++separators) {
        field = std::strchr(field, '|');
        if (field != nullptr) {
            ++field;
        }
    }
    if (field == nullptr) {
        std::fprintf(stderr, "log_floor: no log in %.80s\n", answer);
        return 1;
    }
    std::FILE* output = std::fopen(argv[4], "wb");
    if (output == nullptr) {
        return 1;
    }
    const bool written = WriteDecodedBase64(field, std::strlen(field), output);
    return std::fclose(output) == 0 && written ? 0 : 1;
}
