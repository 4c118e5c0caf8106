#include "emulator/base64.h"

#include <openssl/evp.h>

namespace satemu {

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    AppendBase64(out, bytes);
    return out;
}

void AppendBase64(std::string& out, std::string_view bytes) {
    // Written in place, in pieces (EVP_EncodeBlock takes an int length): logs
    // of tens of megabytes pass through here.
    constexpr std::size_t kChunk = 3 * (1 << 20);
    std::size_t o = out.size();
    out.resize(o + (bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += kChunk) {
        const std::size_t length = std::min(kChunk, bytes.size() - i);
        o += static_cast<std::size_t>(EVP_EncodeBlock(
            reinterpret_cast<unsigned char*>(out.data() + o),
            reinterpret_cast<const unsigned char*>(bytes.data() + i), static_cast<int>(length)));
    }
}

std::optional<std::string> Base64Decode(std::string_view text) {
    // OpenSSL's block decoder takes what it is given; the checks it leaves
    // out (line breaks, padding only at the very end) are made here first.
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (c != '\r' && c != '\n' && c != ' ') {
            compact += c;
        }
    }
    if (compact.size() % 4 != 0) {
        return std::nullopt;
    }
    const std::size_t firstPad = compact.find('=');
    const std::size_t padding = firstPad == std::string::npos ? 0 : compact.size() - firstPad;
    if (padding > 2 || (padding == 2 && compact.back() != '=')) {
        return std::nullopt;
    }
    std::string out(compact.size() / 4 * 3, '\0');
    const int written = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                        reinterpret_cast<const unsigned char*>(compact.data()),
                                        static_cast<int>(compact.size()));
    if (written < 0) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(written) - padding);
    return out;
}

} // namespace satemu
