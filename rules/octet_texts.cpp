#include "rules/octet_texts.h"

#include <cstdint>

#include "rules/whole_number_format.h"

std::string PaddedOctet(std::string_view text) {
    return FormatWholeNumber(WholeNumberValue(text), 3);
}

OctetTexts PaddedOctets(const OctetTexts& octets) {
    OctetTexts padded;
    for (std::size_t i = 0; i < octets.size(); ++i) {
        padded[i] = PaddedOctet(octets[i]);
    }
    return padded;
}

bool AreOctetsInRange(const OctetTexts& octets) {
    for (const std::string& octet : octets) {
        const double value = WholeNumberValue(octet);
        if (value < 0 || value > 255) {
            return false;
        }
    }
    return true;
}

bool IsNetworkMask(const OctetTexts& octets) {
    if (!AreOctetsInRange(octets)) {
        return false;
    }
    std::uint32_t mask = 0;
    for (const std::string& octet : octets) {
        mask = (mask << 8) | static_cast<std::uint32_t>(WholeNumberValue(octet));
    }
    // Ones then zeros: the inverted mask plus one is a power of two.
    const std::uint32_t hostBits = ~mask;
    return mask != 0 && (hostBits & (hostBits + 1)) == 0;
}
