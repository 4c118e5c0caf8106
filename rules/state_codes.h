#pragma once
// The 27 states of the issuer list on the activation page, in list order
// (São Paulo first, the default), and the two-digit state code (the IBGE
// code) that the activation sends for each.

#include <string>
#include <vector>

// The list items, Windows-1252: the state's name padded with blanks to 24
// characters, then its abbreviation ("São Paulo               SP").
const std::vector<std::string>& StateListItems();

// The code sent for the item at `index` ("35" for 0, "17" for 26, the last,
// Tocantins); the empty text for an index outside the list.
std::string StateCodeForIndex(int index);
