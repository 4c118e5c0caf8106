#include "emulator/answer_store.h"

#include "emulator/platform.h"
#include "emulator/state_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace satemu {

std::string AnswerStore::PathOf(std::int64_t id) const {
    return folder_ + PathSeparator() + std::to_string(id);
}

bool AnswerStore::Add(DeviceState& state, std::string_view answer, std::int64_t& id) const {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    id = state.nextAnswerId;
    std::string failure;
    if (!WriteFileDurably(PathOf(id), answer, failure)) {
        return false;
    }
    ++state.nextAnswerId;
    return true;
}

std::optional<std::string> AnswerStore::Read(std::int64_t id) const {
    return ReadWholeFile(PathOf(id));
}

void AnswerStore::Remove(std::int64_t id) const {
    std::remove(PathOf(id).c_str());
}

void AnswerStore::RemoveUnnamed(const DeviceState& state) const {
    const std::vector<std::int64_t> named = NamedAnswers(state);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.find(kTemporaryMark) != std::string::npos) {
            // Left by a process that died while writing it.
            std::filesystem::remove(it->path(), error);
            continue;
        }
        std::int64_t id = 0;
        const auto [ptr, ec] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (ec == std::errc{} && ptr == name.data() + name.size() &&
            std::find(named.begin(), named.end(), id) == named.end()) {
            std::filesystem::remove(it->path(), error);
        }
    }
}

std::vector<std::int64_t> NamedAnswers(const DeviceState& state) {
    std::vector<std::int64_t> ids;
    for (const SessionRecord& session : state.sessions) {
        if (session.answerId > 0) {
            ids.push_back(session.answerId);
        }
    }
    if (state.lastFiscalAnswerId > 0) {
        ids.push_back(state.lastFiscalAnswerId);
    }
    return ids;
}

bool MoveInlineAnswers(DeviceState& state, const AnswerStore& store) {
    for (SessionRecord& session : state.sessions) {
        if (session.answerId == 0 && !store.Add(state, session.answer, session.answerId)) {
            return false;
        }
        session.answer.clear();
    }
    if (!state.lastFiscalAnswer.empty() && state.lastFiscalAnswerId == 0) {
        if (!store.Add(state, state.lastFiscalAnswer, state.lastFiscalAnswerId)) {
            return false;
        }
    }
    state.lastFiscalAnswer.clear();
    return true;
}

std::optional<std::string> RememberedAnswer(const AnswerStore* store, std::int64_t id,
                                            const std::string& inlineAnswer) {
    if (id == 0) {
        return inlineAnswer;
    }
    return store ? store->Read(id) : std::nullopt;
}

} // namespace satemu
