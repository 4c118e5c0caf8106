#include "sat/export_invocation.h"

#include <array>

namespace {

// Indexed by SatExport.
constexpr std::array<std::string_view, kSatExportCount> kSignatures = {
    "ittt",  // AssociarAssinatura
    "iitti", // AtivarSAT
    "it",    // AtualizarSoftwareSAT
    "it",    // BloquearSAT
    "ittt",  // CancelarUltimaVenda
    "itt",   // ComunicarCertificadoICPBRASIL
    "itt",   // ConfigurarInterfaceDeRede
    "i",     // ConsultarSAT
    "",      // DesligarSAT
    "it",    // ConsultarStatusOperacional
    "it",    // DesbloquearSAT
    "itt",   // EnviarDadosVenda
    "it",    // ExtrairLogs
    "itt",   // TesteFimAFim
    "ititt", // TrocarCodigoDeAtivacao
    "iti",   // ConsultarNumeroSessao
    "",      // VersaoDLL
};

const char* Text(std::span<const SatArgument> arguments, std::size_t index) {
    return arguments[index].text.data();
}

std::int32_t Number(std::span<const SatArgument> arguments, std::size_t index) {
    return arguments[index].number;
}

} // namespace

std::string_view SatExportSignature(SatExport which) {
    const auto index = static_cast<std::size_t>(which);
    return index < kSignatures.size() ? kSignatures[index] : std::string_view();
}

bool MatchesSatExportSignature(SatExport which, std::span<const SatArgument> arguments) {
    const auto index = static_cast<std::size_t>(which);
    if (index >= kSignatures.size()) {
        return false;
    }
    const std::string_view signature = SatExportSignature(which);
    if (signature.size() != arguments.size()) {
        return false;
    }
    for (std::size_t i = 0; i < signature.size(); ++i) {
        if ((signature[i] == 't') != arguments[i].isText) {
            return false;
        }
    }
    return true;
}

const char* InvokeSatExport(const SatEntryPoints& e, SatExport which,
                            std::span<const SatArgument> a) {
    switch (which) {
    case SatExport::AssociarAssinatura:
        return e.AssociarAssinatura(Number(a, 0), Text(a, 1), Text(a, 2), Text(a, 3));
    case SatExport::AtivarSAT:
        return e.AtivarSAT(Number(a, 0), Number(a, 1), Text(a, 2), Text(a, 3), Number(a, 4));
    case SatExport::AtualizarSoftwareSAT:
        return e.AtualizarSoftwareSAT(Number(a, 0), Text(a, 1));
    case SatExport::BloquearSAT:
        return e.BloquearSAT(Number(a, 0), Text(a, 1));
    case SatExport::CancelarUltimaVenda:
        return e.CancelarUltimaVenda(Number(a, 0), Text(a, 1), Text(a, 2), Text(a, 3));
    case SatExport::ComunicarCertificadoICPBRASIL:
        return e.ComunicarCertificadoICPBRASIL(Number(a, 0), Text(a, 1), Text(a, 2));
    case SatExport::ConfigurarInterfaceDeRede:
        return e.ConfigurarInterfaceDeRede(Number(a, 0), Text(a, 1), Text(a, 2));
    case SatExport::ConsultarSAT:
        return e.ConsultarSAT(Number(a, 0));
    case SatExport::DesligarSAT:
        return e.DesligarSAT();
    case SatExport::ConsultarStatusOperacional:
        return e.ConsultarStatusOperacional(Number(a, 0), Text(a, 1));
    case SatExport::DesbloquearSAT:
        return e.DesbloquearSAT(Number(a, 0), Text(a, 1));
    case SatExport::EnviarDadosVenda:
        return e.EnviarDadosVenda(Number(a, 0), Text(a, 1), Text(a, 2));
    case SatExport::ExtrairLogs:
        return e.ExtrairLogs(Number(a, 0), Text(a, 1));
    case SatExport::TesteFimAFim:
        return e.TesteFimAFim(Number(a, 0), Text(a, 1), Text(a, 2));
    case SatExport::TrocarCodigoDeAtivacao:
        return e.TrocarCodigoDeAtivacao(Number(a, 0), Text(a, 1), Number(a, 2), Text(a, 3),
                                        Text(a, 4));
    case SatExport::ConsultarNumeroSessao:
        return e.ConsultarNumeroSessao(Number(a, 0), Text(a, 1), Number(a, 2));
    case SatExport::VersaoDLL:
        return e.VersaoDLL();
    }
    return nullptr;
}
