#include "sat/un_funcoes_dll.h"

#include <array>

namespace {

// The exports in resolution order, indexed by SatExport.
constexpr std::array<std::string_view, kSatExportCount> kSatExportNames = {
    "AssociarAssinatura",
    "AtivarSAT",
    "AtualizarSoftwareSAT",
    "BloquearSAT",
    "CancelarUltimaVenda",
    "ComunicarCertificadoICPBRASIL",
    "ConfigurarInterfaceDeRede",
    "ConsultarSAT",
    "DesligarSAT",
    "ConsultarStatusOperacional",
    "DesbloquearSAT",
    "EnviarDadosVenda",
    "ExtrairLogs",
    "TesteFimAFim",
    "TrocarCodigoDeAtivacao",
    "ConsultarNumeroSessao",
    "VersaoDLL",
};
static_assert(static_cast<std::size_t>(SatExport::VersaoDLL) + 1 == kSatExportCount);

// " não carregada" in Windows-1252 (0xE3 is "ã").
constexpr std::string_view kNotLoadedSuffix = " n\xE3o carregada";

template <typename Fn> void Resolve(Fn& entry, platform::LibraryHandle handle, SatExport which) {
    // Every export name is a literal, so data() is null-terminated.
    entry = reinterpret_cast<Fn>(platform::FindLibraryExport(handle, SatExportName(which).data()));
}

// Calls visit(entry, which) for every entry of the table, in resolution order.
template <typename Table, typename Visit> void ForEachEntry(Table& table, Visit visit) {
    visit(table.AssociarAssinatura, SatExport::AssociarAssinatura);
    visit(table.AtivarSAT, SatExport::AtivarSAT);
    visit(table.AtualizarSoftwareSAT, SatExport::AtualizarSoftwareSAT);
    visit(table.BloquearSAT, SatExport::BloquearSAT);
    visit(table.CancelarUltimaVenda, SatExport::CancelarUltimaVenda);
    visit(table.ComunicarCertificadoICPBRASIL, SatExport::ComunicarCertificadoICPBRASIL);
    visit(table.ConfigurarInterfaceDeRede, SatExport::ConfigurarInterfaceDeRede);
    visit(table.ConsultarSAT, SatExport::ConsultarSAT);
    visit(table.DesligarSAT, SatExport::DesligarSAT);
    visit(table.ConsultarStatusOperacional, SatExport::ConsultarStatusOperacional);
    visit(table.DesbloquearSAT, SatExport::DesbloquearSAT);
    visit(table.EnviarDadosVenda, SatExport::EnviarDadosVenda);
    visit(table.ExtrairLogs, SatExport::ExtrairLogs);
    visit(table.TesteFimAFim, SatExport::TesteFimAFim);
    visit(table.TrocarCodigoDeAtivacao, SatExport::TrocarCodigoDeAtivacao);
    visit(table.ConsultarNumeroSessao, SatExport::ConsultarNumeroSessao);
    visit(table.VersaoDLL, SatExport::VersaoDLL);
}

} // namespace

std::string_view SatExportName(SatExport which) {
    const auto index = static_cast<std::size_t>(which);
    return index < kSatExportNames.size() ? kSatExportNames[index] : std::string_view();
}

SatExport SatExportAt(std::size_t index) {
    return static_cast<SatExport>(index);
}

bool IsSatEntryPointLoaded(const SatEntryPoints& table, SatExport which) {
    bool loaded = false;
    ForEachEntry(table, [&](const auto& entry, SatExport candidate) {
        if (candidate == which) {
            loaded = entry != nullptr;
        }
    });
    return loaded;
}

void ClearSatEntryPoints(SatEntryPoints& table) {
    ForEachEntry(table, [](auto& entry, SatExport) { entry = nullptr; });
}

bool ResolveSatEntryPoints(SatEntryPoints& table, platform::LibraryHandle handle) {
    ForEachEntry(table, [handle](auto& entry, SatExport which) { Resolve(entry, handle, which); });
    return true;
}

std::string SatNotLoadedText(SatExport which) {
    std::string text(SatExportName(which));
    text.append(kNotLoadedSuffix);
    return text;
}
