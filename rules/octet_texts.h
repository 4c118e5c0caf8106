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
// counts as 0. The mask gets the same range rule and no other.
bool AreOctetsInRange(const OctetTexts& octets);
