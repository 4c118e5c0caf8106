#pragma once
// Lets data-driven tests name an operation in a table row and run it on a
// session: a row carries the operation's index in kSatOperations.

#include <array>
#include <string_view>

#include "sat/un_global.h"

struct SatOperationCase {
    std::string_view exportName; // the library function it calls
    bool (*run)(SatSession&);
};

// The session lookup asks for session 123; the code change uses the first
// kind of code.
inline const std::array<SatOperationCase, 14> kSatOperations = {{
    {"ConfigurarInterfaceDeRede", [](SatSession& s) { return s.RunConfigurarInterfaceDeRede(); }},
    {"AtivarSAT", [](SatSession& s) { return s.RunAtivarSAT(); }},
    {"AssociarAssinatura", [](SatSession& s) { return s.RunAssociarAssinatura(); }},
    {"ConsultarSAT", [](SatSession& s) { return s.RunConsultarSAT(); }},
    {"ConsultarStatusOperacional", [](SatSession& s) { return s.RunConsultarStatusOperacional(); }},
    {"ConsultarNumeroSessao", [](SatSession& s) { return s.RunConsultarNumeroSessao(123); }},
    {"ExtrairLogs", [](SatSession& s) { return s.RunExtrairLogs(); }},
    {"TesteFimAFim", [](SatSession& s) { return s.RunTesteFimAFim(); }},
    {"EnviarDadosVenda", [](SatSession& s) { return s.RunEnviarDadosVenda(); }},
    {"CancelarUltimaVenda", [](SatSession& s) { return s.RunCancelarUltimaVenda(); }},
    {"BloquearSAT", [](SatSession& s) { return s.RunBloquearSAT(); }},
    {"DesbloquearSAT", [](SatSession& s) { return s.RunDesbloquearSAT(); }},
    {"AtualizarSoftwareSAT", [](SatSession& s) { return s.RunAtualizarSoftwareSAT(); }},
    {"TrocarCodigoDeAtivacao", [](SatSession& s) { return s.RunTrocarCodigoDeAtivacao(0); }},
}};

// The index of the operation that calls exportName.
inline int SatOperationIndex(std::string_view exportName) {
    for (std::size_t i = 0; i < kSatOperations.size(); ++i) {
        if (kSatOperations[i].exportName == exportName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
