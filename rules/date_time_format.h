#pragma once
// Display form of the SAT standard's dates: AAAAMMDD and AAAAMMDDhhmmss.

#include <string>
#include <string_view>

// "20151110084752" -> "10/11/2015 08:47:52", "20191102" -> "02/11/2019".
// Characters beyond the end of s count as absent, so a short or empty field
// still gives the separators ("" -> "//"). The time part is added only when
// characters 9 to 14 are not blank.
std::string FormataDataHora(std::string_view s);
