#pragma once
// SHA-256 (FIPS 180-4): the digest of the signed documents and the source of
// the emulated device key's signatures.

#include <string>
#include <string_view>

namespace satemu {

// The 32-byte digest of data.
std::string Sha256(std::string_view data);

} // namespace satemu
