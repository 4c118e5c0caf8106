#pragma once
// Base64 of RFC 4648 (standard alphabet, "=" padding) on OpenSSL, the
// encoding of every binary payload in the device's answers.

#include <optional>
#include <string>
#include <string_view>

namespace satemu {

std::string Base64Encode(std::string_view bytes);

// Appends the Base64 of bytes to out, without an intermediate copy.
void AppendBase64(std::string& out, std::string_view bytes);

// Strict decoding: CR, LF and blanks between groups are skipped (some
// point-of-sale systems wrap long signatures); any other character outside the
// alphabet, misplaced padding or a length that is not a whole number of
// groups gives nothing.
std::optional<std::string> Base64Decode(std::string_view text);

} // namespace satemu
