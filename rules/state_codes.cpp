#include "rules/state_codes.h"

#include <array>
#include <string_view>

#include "rules/cp1252.h"

namespace {

struct State {
    std::string_view utf8Name;
    std::string_view abbreviation;
    std::string_view code;
};

constexpr std::array<State, 27> kStates{{
    {"São Paulo", "SP", "35"},
    {"Acre", "AC", "12"},
    {"Alagoas", "AL", "27"},
    {"Amapá", "AP", "16"},
    {"Amazonas", "AM", "13"},
    {"Bahia", "BA", "29"},
    {"Ceará", "CE", "23"},
    {"Distrito Federal", "DF", "53"},
    {"Espírito Santo", "ES", "32"},
    {"Goiás", "GO", "52"},
    {"Maranhão", "MA", "21"},
    {"Mato Grosso", "MT", "51"},
    {"Mato Grosso do Sul", "MS", "50"},
    {"Minas Gerais", "MG", "31"},
    {"Paraná", "PR", "41"},
    {"Paraíba", "PB", "25"},
    {"Pará", "PA", "15"},
    {"Pernambuco", "PE", "26"},
    {"Piauí", "PI", "22"},
    {"Rio de Janeiro", "RJ", "33"},
    {"Rio Grande do Norte", "RN", "24"},
    {"Rio Grande do Sul", "RS", "43"},
    {"Rondônia", "RO", "11"},
    {"Roraima", "RR", "14"},
    {"Santa Catarina", "SC", "42"},
    {"Sergipe", "SE", "28"},
    {"Tocantins", "TO", "17"},
}};

// Padding counts Windows-1252 characters (one byte each), so the accented
// names line up with the others in the fixed-pitch list.
constexpr std::size_t kNameColumn = 24;

std::vector<std::string> BuildItems() {
    std::vector<std::string> items;
    items.reserve(kStates.size());
    for (const State& state : kStates) {
        std::string item = Utf8ToCp1252(state.utf8Name);
        item.resize(kNameColumn, ' ');
        item.append(state.abbreviation);
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

const std::vector<std::string>& StateListItems() {
    static const std::vector<std::string> items = BuildItems();
    return items;
}

std::string StateCodeForIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kStates.size()) {
        return {};
    }
    return std::string(kStates[static_cast<std::size_t>(index)].code);
}
