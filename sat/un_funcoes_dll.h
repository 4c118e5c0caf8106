#pragma once
// Binding to the SAT library: the typed entry points of the seventeen exports
// of the SAT standard, the table that holds them and the texts that report an
// export the library lacks.
//
// Every export returns a null-terminated UTF-8 answer that belongs to the
// library: callers copy it at once and never free or write it. Integer
// arguments are 32-bit signed; text arguments are null-terminated
// Windows-1252 strings owned by the caller for the duration of the call.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sat/platform/calling_convention.h"
#include "sat/platform/dynamic_library.h"

// (sessao, subComando, codigoDeAtivacao, CNPJContribuinte, cUF)
using AtivarSATFn = const char*(DVT_SATCALL*)(std::int32_t, std::int32_t, const char*, const char*,
                                              std::int32_t);
// (sessao, codigoDeAtivacao, CNPJvalue, assinaturaCNPJs)
using AssociarAssinaturaFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, const char*,
                                                       const char*);
// (sessao, codigoDeAtivacao)
using AtualizarSoftwareSATFn = const char*(DVT_SATCALL*)(std::int32_t, const char*);
// (sessao, codigoDeAtivacao)
using BloquearSATFn = const char*(DVT_SATCALL*)(std::int32_t, const char*);
// (sessao, codigoDeAtivacao, chave, dadosCancelamento)
using CancelarUltimaVendaFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, const char*,
                                                        const char*);
// (sessao, codigoDeAtivacao, certificado); resolved, never called.
using ComunicarCertificadoICPBRASILFn = const char*(DVT_SATCALL*)(std::int32_t, const char*,
                                                                  const char*);
// (sessao, codigoDeAtivacao, dadosConfiguracao)
using ConfigurarInterfaceDeRedeFn = const char*(DVT_SATCALL*)(std::int32_t, const char*,
                                                              const char*);
// (sessao)
using ConsultarSATFn = const char*(DVT_SATCALL*)(std::int32_t);
// (); resolved, never called.
using DesligarSATFn = const char*(DVT_SATCALL*)();
// (sessao, codigoDeAtivacao)
using ConsultarStatusOperacionalFn = const char*(DVT_SATCALL*)(std::int32_t, const char*);
// (sessao, codigoDeAtivacao)
using DesbloquearSATFn = const char*(DVT_SATCALL*)(std::int32_t, const char*);
// (sessao, codigoDeAtivacao, dadosVenda)
using EnviarDadosVendaFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, const char*);
// (sessao, codigoDeAtivacao)
using ExtrairLogsFn = const char*(DVT_SATCALL*)(std::int32_t, const char*);
// (sessao, codigoDeAtivacao, dadosVenda)
using TesteFimAFimFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, const char*);
// (sessao, codigoDeAtivacao, opcao, novoCodigo, confNovoCodigo)
using TrocarCodigoDeAtivacaoFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, std::int32_t,
                                                           const char*, const char*);
// (sessao, codigoDeAtivacao, cNumeroDeSessao)
using ConsultarNumeroSessaoFn = const char*(DVT_SATCALL*)(std::int32_t, const char*, std::int32_t);
// ()
using VersaoDLLFn = const char*(DVT_SATCALL*)();

// The exports, in the order in which they are resolved.
enum class SatExport {
    AssociarAssinatura,
    AtivarSAT,
    AtualizarSoftwareSAT,
    BloquearSAT,
    CancelarUltimaVenda,
    ComunicarCertificadoICPBRASIL,
    ConfigurarInterfaceDeRede,
    ConsultarSAT,
    DesligarSAT,
    ConsultarStatusOperacional,
    DesbloquearSAT,
    EnviarDadosVenda,
    ExtrairLogs,
    TesteFimAFim,
    TrocarCodigoDeAtivacao,
    ConsultarNumeroSessao,
    VersaoDLL,
};

inline constexpr std::size_t kSatExportCount = 17;

// One entry per export, null when it has not been resolved or the library
// lacks it. Members are named exactly like the exports.
struct SatEntryPoints {
    AssociarAssinaturaFn AssociarAssinatura = nullptr;
    AtivarSATFn AtivarSAT = nullptr;
    AtualizarSoftwareSATFn AtualizarSoftwareSAT = nullptr;
    BloquearSATFn BloquearSAT = nullptr;
    CancelarUltimaVendaFn CancelarUltimaVenda = nullptr;
    ComunicarCertificadoICPBRASILFn ComunicarCertificadoICPBRASIL = nullptr;
    ConfigurarInterfaceDeRedeFn ConfigurarInterfaceDeRede = nullptr;
    ConsultarSATFn ConsultarSAT = nullptr;
    DesligarSATFn DesligarSAT = nullptr;
    ConsultarStatusOperacionalFn ConsultarStatusOperacional = nullptr;
    DesbloquearSATFn DesbloquearSAT = nullptr;
    EnviarDadosVendaFn EnviarDadosVenda = nullptr;
    ExtrairLogsFn ExtrairLogs = nullptr;
    TesteFimAFimFn TesteFimAFim = nullptr;
    TrocarCodigoDeAtivacaoFn TrocarCodigoDeAtivacao = nullptr;
    ConsultarNumeroSessaoFn ConsultarNumeroSessao = nullptr;
    VersaoDLLFn VersaoDLL = nullptr;
};

// The exact, case-sensitive export name ("ConsultarSAT"); empty for a value
// outside the enumeration.
std::string_view SatExportName(SatExport which);

// The export at position index (0-based, below kSatExportCount) of the
// resolution order.
SatExport SatExportAt(std::size_t index);

// True when the table holds an address for that export.
bool IsSatEntryPointLoaded(const SatEntryPoints& table, SatExport which);

// Sets all seventeen entries to null.
void ClearSatEntryPoints(SatEntryPoints& table);

// Looks every export up in the loaded library, in resolution order, and
// stores the address found or null. A missing export is not reported here:
// the operation that needs it reports it. Always returns true.
bool ResolveSatEntryPoints(SatEntryPoints& table, platform::LibraryHandle handle);

// The Windows-1252 text that reports a missing export, without a marker:
// "ConsultarSAT não carregada".
std::string SatNotLoadedText(SatExport which);
