#pragma once
// Names of the device's operating states (the ESTADO_OPERACAO field of the
// operational status answer), as the status page shows them.

#include <cstdint>
#include <string>

// Windows-1252 name of state 0 to 4 ("DESBLOQUEADO", "BLOQUEIO SEFAZ",
// "BLOQUEIO CONTRIBUINTE", "BLOQUEIO AUTÔNOMO", "BLOQUEIO PARA DESATIVAÇÃO").
// A value the SAT standard does not define has no name: it is shown as its
// decimal number, so an unexpected device answer stays visible.
std::string EstadoOperacaoName(std::int32_t estadoOperacao);
