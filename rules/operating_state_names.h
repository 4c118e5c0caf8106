#pragma once
// Names of the device's operating states (the ESTADO_OPERACAO field of the
// operational status answer), as the status page shows them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Windows-1252 name of state 0 to 4 ("DESBLOQUEADO", "BLOQUEIO SEFAZ",
// "BLOQUEIO CONTRIBUINTE", "BLOQUEIO AUTÔNOMO", "BLOQUEIO PARA DESATIVAÇÃO").
// A value the SAT standard does not define has no name: it is shown as its
// decimal number, so an unexpected device answer stays visible.
std::string EstadoOperacaoName(std::int32_t estadoOperacao);

// The state a device names instead of numbering it (Windows-1252 text):
// one of the five names above, blanks around it ignored, in any letter case,
// with or without its accents ("Bloqueio autonomo" is 3). Nothing for any
// other text.
std::optional<std::int32_t> EstadoOperacaoFromName(std::string_view cp1252Name);
