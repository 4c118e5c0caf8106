#pragma once
// The answers the device remembers (those of the last sessions, for
// ConsultarNumeroSessao, and the last fiscal one), one file each in a folder
// beside the state file, "<state file>.answers/<id>". The state file names
// them by id, so it stays small however large the answers are, and a command
// writes only its own answer instead of all of them again.
//
// Files follow the state: a new answer is written before the state that
// names it is saved, and answers the saved state no longer names are removed
// after it. A file no state names (the command was undone) is removed when
// the state is next read from disk.

#include "emulator/device_state.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace satemu {

class AnswerStore {
public:
    explicit AnswerStore(std::string folder) : folder_(std::move(folder)) {}

    // Writes an answer under a new id taken from the state; false when the
    // file cannot be written.
    bool Add(DeviceState& state, std::string_view answer, std::int64_t& id) const;
    std::optional<std::string> Read(std::int64_t id) const;
    void Remove(std::int64_t id) const;
    // Removes every answer file the state does not name.
    void RemoveUnnamed(const DeviceState& state) const;

private:
    std::string PathOf(std::int64_t id) const;
    std::string folder_;
};

// The ids of the answers a state names.
std::vector<std::int64_t> NamedAnswers(const DeviceState& state);

// Moves the answers an earlier version's state file held inline into the
// store; false when one cannot be written.
bool MoveInlineAnswers(DeviceState& state, const AnswerStore& store);

// A remembered answer, from the store or inline; nothing when it is lost.
std::optional<std::string> RememberedAnswer(const AnswerStore* store, std::int64_t id,
                                            const std::string& inlineAnswer);

} // namespace satemu
