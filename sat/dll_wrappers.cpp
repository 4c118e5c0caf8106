#include "sat/dll_wrappers.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "rules/cp1252.h"
#include "sat/answer_profiles.h"
#include "sat/response_fields.h"

namespace {

constexpr std::string_view kErrorMarker = "[e]";

// Reports a call that brought no answer to decode: LastResponse (when given)
// and an error dialog get the same text.
void ReportNoAnswer(const SatCallContext& call, SatAnswerKind kind, const std::string& text,
                    std::string* lastResponse) {
    call.record.kind = kind;
    if (lastResponse != nullptr) {
        *lastResponse = text;
    }
    call.ui.ShowMessageDialog(text + std::string(kErrorMarker));
}

// One raw call of an export, made where the user interface runs library
// steps (always the same thread). The answer is not copied: the library keeps
// it until its calling thread's next call, and that thread makes no other
// call before this answer has been decoded. Null for a null pointer.
template <typename Call> const char* CallLibrary(SatUserInterface& ui, Call call) {
    const char* answer = nullptr;
    ui.RunLibraryCall([&] { answer = call(); });
    return answer;
}

// Steps shared by every wrapper except the version query: empty
// LastResponse, check the entry point, call it, keep the answer in view, send an
// answer without "|" down the error path. True when there are fields to
// decode, which are then in call.record.raw.
template <typename EntryPoint, typename... Arguments>
bool CallForFields(const SatCallContext& call, SatExport which, EntryPoint entry,
                   std::string& lastResponse, Arguments... arguments) {
    std::string().swap(lastResponse); // its memory goes back, not only its text
    call.record = {};
    if (entry == nullptr) {
        ReportNoAnswer(call, SatAnswerKind::NotLoaded, SatNotLoadedText(which), &lastResponse);
        return false;
    }
    const char* answer = CallLibrary(call.ui, [&] { return entry(arguments...); });
    if (!answer) {
        ReportNoAnswer(call, SatAnswerKind::NullAnswer, SatNullAnswerText(which), &lastResponse);
        return false;
    }
    call.record.raw = answer;
    if (!HasFieldSeparator(call.record.raw)) {
        call.record.kind = SatAnswerKind::ErrorText;
        TakeErrorPath(call.record.raw, call.ui, lastResponse);
        return false;
    }
    call.record.kind = SatAnswerKind::Fields;
    return true;
}

bool Report(const SatCallContext& call, const ReportProfile& profile, std::string& lastResponse) {
    return DecodeReportAnswer(call.record.raw, profile, call.ui, lastResponse, call.record.payload);
}

// fieldsKept, code, message, SEFAZ message, Base64 payload, success code.
constexpr ReportProfile kConfigurarInterfaceDeRede{5, 2, 3, 5, 0, "12000"};
constexpr ReportProfile kConsultarSAT{5, 2, 3, 5, 0, "08000"};
constexpr ReportProfile kAtivarSAT{6, 2, 3, 5, 6, "04000"};
constexpr ReportProfile kAssociarAssinatura{5, 2, 3, 5, 0, "13000"};
constexpr ReportProfile kTrocarCodigoDeAtivacao{5, 2, 3, 5, 0, "18000"};
constexpr ReportProfile kExtrairLogs{6, 2, 3, 5, 6, "15000"};
constexpr ReportProfile kEnviarDadosVenda{9, 2, 4, 6, 7, "06000"};
// Its fields once reached the pages undecoded: one that is not UTF-8 still does.
constexpr ReportProfile kCancelarUltimaVenda{12, 2, 4, 6, 7, "07000",
                                             InvalidUtf8Field::KeptAsReceived};

// The device answered the lookup: with the looked-up session's own answer
// or with one of the lookup's refusals.
constexpr std::array<std::string_view, 6> kConsultarNumeroSessaoCodes = {"11000", "11001", "11002",
                                                                         "11003", "11098", "11099"};
constexpr std::array<std::string_view, 1> kBloquearSATCodes = {"16000"};

} // namespace

std::string SatNullAnswerText(SatExport which) {
    return std::string(SatExportName(which)) + Utf8ToCp1252(" não retornou resposta");
}

bool DllConfigurarInterfaceDeRede(const SatCallContext& call, std::string& LastResponse,
                                  std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                  const std::string& dadosConfiguracao) {
    // The document is built from Windows-1252 fields but declares UTF-8, so
    // an accented user name or password must reach the library as UTF-8.
    const std::string document = Cp1252ToUtf8(dadosConfiguracao);
    return CallForFields(call, SatExport::ConfigurarInterfaceDeRede,
                         call.entryPoints.ConfigurarInterfaceDeRede, LastResponse, numeroSessao,
                         codigoDeAtivacao.c_str(), document.c_str()) &&
           Report(call, kConfigurarInterfaceDeRede, LastResponse);
}

bool DllAtivarSAT(const SatCallContext& call, std::string& LastResponse, std::int32_t numeroSessao,
                  std::int32_t subComando, const std::string& codigoDeAtivacao,
                  const std::string& cnpjContribuinte, std::int32_t cUF) {
    return CallForFields(call, SatExport::AtivarSAT, call.entryPoints.AtivarSAT, LastResponse,
                         numeroSessao, subComando, codigoDeAtivacao.c_str(),
                         cnpjContribuinte.c_str(), cUF) &&
           Report(call, kAtivarSAT, LastResponse);
}

bool DllAssociarAssinatura(const SatCallContext& call, std::string& LastResponse,
                           std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                           const std::string& CNPJvalue, const std::string& assinaturaCNPJs) {
    return CallForFields(call, SatExport::AssociarAssinatura, call.entryPoints.AssociarAssinatura,
                         LastResponse, numeroSessao, codigoDeAtivacao.c_str(), CNPJvalue.c_str(),
                         assinaturaCNPJs.c_str()) &&
           Report(call, kAssociarAssinatura, LastResponse);
}

bool DllConsultarSAT(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao) {
    return CallForFields(call, SatExport::ConsultarSAT, call.entryPoints.ConsultarSAT, LastResponse,
                         numeroSessao) &&
           Report(call, kConsultarSAT, LastResponse);
}

bool DllConsultarStatusOperacional(const SatCallContext& call, std::string& LastResponse,
                                   std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                   TSatStatusOperacional& StatusOperacional) {
    return CallForFields(call, SatExport::ConsultarStatusOperacional,
                         call.entryPoints.ConsultarStatusOperacional, LastResponse, numeroSessao,
                         codigoDeAtivacao.c_str()) &&
           DecodeStatusAnswer(call.record.raw, StatusOperacional, call.ui, LastResponse);
}

bool DllConsultarNumeroSessao(const SatCallContext& call, std::string& LastResponse,
                              std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                              std::int32_t cNumeroDeSessao) {
    return CallForFields(call, SatExport::ConsultarNumeroSessao,
                         call.entryPoints.ConsultarNumeroSessao, LastResponse, numeroSessao,
                         codigoDeAtivacao.c_str(), cNumeroDeSessao) &&
           DecodeSilentAnswer(call.record.raw, kConsultarNumeroSessaoCodes, LastResponse);
}

bool DllExtrairLogs(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    return CallForFields(call, SatExport::ExtrairLogs, call.entryPoints.ExtrairLogs, LastResponse,
                         numeroSessao, codigoDeAtivacao.c_str()) &&
           Report(call, kExtrairLogs, LastResponse);
}

bool DllTesteFimAFim(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                     const std::string& dadosVenda) {
    return CallForFields(call, SatExport::TesteFimAFim, call.entryPoints.TesteFimAFim, LastResponse,
                         numeroSessao, codigoDeAtivacao.c_str(), dadosVenda.c_str()) &&
           DecodeEndToEndAnswer(call.record.raw, call.ui, LastResponse);
}

bool DllEnviarDadosVenda(const SatCallContext& call, std::string& LastResponse,
                         std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                         const std::string& dadosVenda) {
    return CallForFields(call, SatExport::EnviarDadosVenda, call.entryPoints.EnviarDadosVenda,
                         LastResponse, numeroSessao, codigoDeAtivacao.c_str(),
                         dadosVenda.c_str()) &&
           Report(call, kEnviarDadosVenda, LastResponse);
}

bool DllCancelarUltimaVenda(const SatCallContext& call, std::string& LastResponse,
                            std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                            const std::string& chave, const std::string& dadosCancelamento) {
    return CallForFields(call, SatExport::CancelarUltimaVenda, call.entryPoints.CancelarUltimaVenda,
                         LastResponse, numeroSessao, codigoDeAtivacao.c_str(), chave.c_str(),
                         dadosCancelamento.c_str()) &&
           Report(call, kCancelarUltimaVenda, LastResponse);
}

bool DllBloquearSAT(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    return CallForFields(call, SatExport::BloquearSAT, call.entryPoints.BloquearSAT, LastResponse,
                         numeroSessao, codigoDeAtivacao.c_str()) &&
           DecodeSilentAnswer(call.record.raw, kBloquearSATCodes, LastResponse);
}

bool DllDesbloquearSAT(const SatCallContext& call, std::string& LastResponse,
                       std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    if (CallForFields(call, SatExport::DesbloquearSAT, call.entryPoints.DesbloquearSAT,
                      LastResponse, numeroSessao, codigoDeAtivacao.c_str())) {
        DecodeRawAnswer(call.record.raw, LastResponse);
    }
    return false;
}

bool DllAtualizarSoftwareSAT(const SatCallContext& call, std::string& LastResponse,
                             std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    if (CallForFields(call, SatExport::AtualizarSoftwareSAT, call.entryPoints.AtualizarSoftwareSAT,
                      LastResponse, numeroSessao, codigoDeAtivacao.c_str())) {
        DecodeRawAnswer(call.record.raw, LastResponse);
    }
    return false;
}

bool DllTrocarCodigoDeAtivacao(const SatCallContext& call, std::string& LastResponse,
                               std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                               std::int32_t opcao, const std::string& novoCodigo,
                               const std::string& confNovoCodigo) {
    return CallForFields(call, SatExport::TrocarCodigoDeAtivacao,
                         call.entryPoints.TrocarCodigoDeAtivacao, LastResponse, numeroSessao,
                         codigoDeAtivacao.c_str(), opcao, novoCodigo.c_str(),
                         confNovoCodigo.c_str()) &&
           Report(call, kTrocarCodigoDeAtivacao, LastResponse);
}

void DllVersaoDLL(const SatCallContext& call, std::string& versao) {
    versao.clear();
    call.record = {};
    if (call.entryPoints.VersaoDLL == nullptr) {
        ReportNoAnswer(call, SatAnswerKind::NotLoaded, SatNotLoadedText(SatExport::VersaoDLL),
                       nullptr);
        return;
    }
    const VersaoDLLFn entry = call.entryPoints.VersaoDLL;
    const char* answer = CallLibrary(call.ui, [entry] { return entry(); });
    if (!answer) {
        ReportNoAnswer(call, SatAnswerKind::NullAnswer, SatNullAnswerText(SatExport::VersaoDLL),
                       nullptr);
        return;
    }
    call.record.raw = answer;
    call.record.kind = SatAnswerKind::Text;
    versao = DecodeVersionAnswer(call.record.raw);
}
