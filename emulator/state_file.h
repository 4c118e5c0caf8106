#pragma once
// The state file: one "key=value" line per remembered value, UTF-8, readable
// and editable by hand while no program is using the device. It starts with
// "format=1" and ends with "end", so a cut-off file is noticed; values escape
// "\", CR and LF as "\\", "\r" and "\n". The answers the device remembers
// are not in it but in the answer store (answer_store.h), by id; files of
// earlier versions that hold them inline are still read.

#include "emulator/device_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace satemu {

std::string SerializeState(const DeviceState& state);

// The state a text describes; nothing when the text is damaged (no header or
// end line, a value of the wrong form, a line without "=").
std::optional<DeviceState> ParseState(std::string_view text);

// Writes the state beside its final place, flushed to the disk, and moves it
// over the old file in one step (WriteFileDurably), so neither a crash nor a
// power cut leaves a half-written state. On failure the old file is untouched
// and `error` says why.
bool SaveStateAtomically(const std::string& path, const DeviceState& state, std::string& error);

// Reads a whole file; nothing when it cannot be opened or is a symbolic link.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace satemu
