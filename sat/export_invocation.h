#pragma once
// One call of a SAT export described as data: which export and its arguments
// in order (the session number first). The library host receives calls in
// this form over its pipe, and the in-process path uses the same dispatch, so
// both reach the typed entry point the same way.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sat/un_funcoes_dll.h"

// A 32-bit integer or a text. A text's bytes must be followed by a NUL in
// memory (a std::string's c_str()): the library receives the pointer as is.
struct SatArgument {
    bool isText = false;
    std::int32_t number = 0;
    std::string_view text;

    static SatArgument Number(std::int32_t value) { return {false, value, {}}; }
    static SatArgument Text(const std::string& value) { return {true, 0, value}; }
};

// The argument kinds each export takes, in order: 'i' an integer, 't' a text.
std::string_view SatExportSignature(SatExport which);

// True when the arguments have the kinds and count the export takes.
bool MatchesSatExportSignature(SatExport which, std::span<const SatArgument> arguments);

// Calls the export's entry point with the arguments and returns its answer
// (the library's own text; null for a null pointer). The entry must be
// loaded and the arguments must match its signature.
const char* InvokeSatExport(const SatEntryPoints& entries, SatExport which,
                            std::span<const SatArgument> arguments);
