#pragma once
// The status reading as one JSON object (UTF-8, one line): the answer's
// header and every status field under the SAT standard's own names, typed,
// then the derived values. A query that failed still gives an object, with
// "sucesso" false and the code and message it had.

#include <string>

#include "cli/status_reading.h"

std::string FormatStatusJson(const StatusReading& reading);

// text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);
