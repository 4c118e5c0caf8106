#include "rules/operating_state_names.h"

#include <array>

#include "rules/cp1252.h"

std::string EstadoOperacaoName(std::int32_t estadoOperacao) {
    static const std::array<std::string, 5> kNames = {
        Utf8ToCp1252("DESBLOQUEADO"),
        Utf8ToCp1252("BLOQUEIO SEFAZ"),
        Utf8ToCp1252("BLOQUEIO CONTRIBUINTE"),
        Utf8ToCp1252("BLOQUEIO AUTÔNOMO"),
        Utf8ToCp1252("BLOQUEIO PARA DESATIVAÇÃO"),
    };
    if (estadoOperacao >= 0 && static_cast<std::size_t>(estadoOperacao) < kNames.size()) {
        return kNames[static_cast<std::size_t>(estadoOperacao)];
    }
    return std::to_string(estadoOperacao);
}
