#pragma once
// Lets data-driven tests name an operation in a table row and run it on a
// session.

#include <QMetaType>
#include <string_view>

#include "sat/un_global.h"

enum class SatOperation {
    ConfigurarInterfaceDeRede,
    AtivarSAT,
    AssociarAssinatura,
    ConsultarSAT,
    ConsultarStatusOperacional,
    ConsultarNumeroSessao,
    ExtrairLogs,
    TesteFimAFim,
    EnviarDadosVenda,
    CancelarUltimaVenda,
    BloquearSAT,
    DesbloquearSAT,
    AtualizarSoftwareSAT,
    TrocarCodigoDeAtivacao,
};
Q_DECLARE_METATYPE(SatOperation)

inline constexpr SatOperation kAllSatOperations[] = {
    SatOperation::ConfigurarInterfaceDeRede,
    SatOperation::AtivarSAT,
    SatOperation::AssociarAssinatura,
    SatOperation::ConsultarSAT,
    SatOperation::ConsultarStatusOperacional,
    SatOperation::ConsultarNumeroSessao,
    SatOperation::ExtrairLogs,
    SatOperation::TesteFimAFim,
    SatOperation::EnviarDadosVenda,
    SatOperation::CancelarUltimaVenda,
    SatOperation::BloquearSAT,
    SatOperation::DesbloquearSAT,
    SatOperation::AtualizarSoftwareSAT,
    SatOperation::TrocarCodigoDeAtivacao,
};

// The library export the operation calls.
inline std::string_view ExportOf(SatOperation operation) {
    switch (operation) {
    case SatOperation::ConfigurarInterfaceDeRede:
        return "ConfigurarInterfaceDeRede";
    case SatOperation::AtivarSAT:
        return "AtivarSAT";
    case SatOperation::AssociarAssinatura:
        return "AssociarAssinatura";
    case SatOperation::ConsultarSAT:
        return "ConsultarSAT";
    case SatOperation::ConsultarStatusOperacional:
        return "ConsultarStatusOperacional";
    case SatOperation::ConsultarNumeroSessao:
        return "ConsultarNumeroSessao";
    case SatOperation::ExtrairLogs:
        return "ExtrairLogs";
    case SatOperation::TesteFimAFim:
        return "TesteFimAFim";
    case SatOperation::EnviarDadosVenda:
        return "EnviarDadosVenda";
    case SatOperation::CancelarUltimaVenda:
        return "CancelarUltimaVenda";
    case SatOperation::BloquearSAT:
        return "BloquearSAT";
    case SatOperation::DesbloquearSAT:
        return "DesbloquearSAT";
    case SatOperation::AtualizarSoftwareSAT:
        return "AtualizarSoftwareSAT";
    case SatOperation::TrocarCodigoDeAtivacao:
        return "TrocarCodigoDeAtivacao";
    }
    return {};
}

// Runs the operation; the session lookup asks for session 123 and the code
// change uses the first kind of code.
inline bool RunSatOperation(SatSession& session, SatOperation operation) {
    switch (operation) {
    case SatOperation::ConfigurarInterfaceDeRede:
        return session.RunConfigurarInterfaceDeRede();
    case SatOperation::AtivarSAT:
        return session.RunAtivarSAT();
    case SatOperation::AssociarAssinatura:
        return session.RunAssociarAssinatura();
    case SatOperation::ConsultarSAT:
        return session.RunConsultarSAT();
    case SatOperation::ConsultarStatusOperacional:
        return session.RunConsultarStatusOperacional();
    case SatOperation::ConsultarNumeroSessao:
        return session.RunConsultarNumeroSessao(123);
    case SatOperation::ExtrairLogs:
        return session.RunExtrairLogs();
    case SatOperation::TesteFimAFim:
        return session.RunTesteFimAFim();
    case SatOperation::EnviarDadosVenda:
        return session.RunEnviarDadosVenda();
    case SatOperation::CancelarUltimaVenda:
        return session.RunCancelarUltimaVenda();
    case SatOperation::BloquearSAT:
        return session.RunBloquearSAT();
    case SatOperation::DesbloquearSAT:
        return session.RunDesbloquearSAT();
    case SatOperation::AtualizarSoftwareSAT:
        return session.RunAtualizarSoftwareSAT();
    case SatOperation::TrocarCodigoDeAtivacao:
        return session.RunTrocarCodigoDeAtivacao(0);
    }
    return false;
}
