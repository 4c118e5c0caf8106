#pragma once
// The four octet texts of one network address (IP, mask, gateway, DNS, proxy),
// first octet first, as the four edits of its row hold them.

#include <array>
#include <string>
#include <string_view>

using OctetTexts = std::array<std::string, 4>;

// An octet as written back and sent: its value in three digits, zero-padded
// ("7" -> "007", "" -> "000", "999" stays "999").
std::string PaddedOctet(std::string_view text);

OctetTexts PaddedOctets(const OctetTexts& octets);

// True when each value lies between 0 and 255 inclusive; an empty octet
// counts as 0.
bool AreOctetsInRange(const OctetTexts& octets);

// True when the octets, in range, form a network mask: ones from the left,
// then only zeros, at least one one (0.0.0.0 would cut the device off its
// network). 255.255.255.0 passes, 255.0.255.0 and 255.255.255.1 do not.
bool IsNetworkMask(const OctetTexts& octets);
