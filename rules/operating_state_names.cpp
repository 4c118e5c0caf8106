#include "rules/operating_state_names.h"

#include <array>

#include "rules/cp1252.h"
#include "rules/text_utils.h"

namespace {

const std::array<std::string, 5>& Names() {
    static const std::array<std::string, 5> kNames = {
        Utf8ToCp1252("DESBLOQUEADO"),
        Utf8ToCp1252("BLOQUEIO SEFAZ"),
        Utf8ToCp1252("BLOQUEIO CONTRIBUINTE"),
        Utf8ToCp1252("BLOQUEIO AUTÔNOMO"),
        Utf8ToCp1252("BLOQUEIO PARA DESATIVAÇÃO"),
    };
    return kNames;
}

// The capitals of the names' accented letters (Ã Ç Ô) without their accents,
// for devices that send plain ASCII.
char WithoutAccent(char c) {
    switch (static_cast<unsigned char>(c)) {
    case 0xC3:
        return 'A';
    case 0xC7:
        return 'C';
    case 0xD4:
        return 'O';
    default:
        return c;
    }
}

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = WithoutAccent(Cp1252UpperCase(c));
    }
    return folded;
}

} // namespace

std::string EstadoOperacaoName(std::int32_t estadoOperacao) {
    const auto& names = Names();
    if (estadoOperacao >= 0 && static_cast<std::size_t>(estadoOperacao) < names.size()) {
        return names[static_cast<std::size_t>(estadoOperacao)];
    }
    return std::to_string(estadoOperacao);
}

std::optional<std::int32_t> EstadoOperacaoFromName(std::string_view cp1252Name) {
    const std::string wanted = Folded(TrimBlanks(cp1252Name));
    const auto& names = Names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (Folded(names[i]) == wanted) {
            return static_cast<std::int32_t>(i);
        }
    }
    return std::nullopt;
}
