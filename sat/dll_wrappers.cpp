#include "sat/dll_wrappers.h"

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
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
    // A call that was made and gave no answer is reported like an answer
    // without "|": the wait panel goes before the dialog. (An export the
    // library lacks is reported before any call, as it always was.)
    if (kind != SatAnswerKind::NotLoaded) {
        call.ui.FechaAguarde();
    }
    call.ui.ShowMessageDialog(text + std::string(kErrorMarker));
}

SatArgument N(std::int32_t value) {
    return SatArgument::Number(value);
}
SatArgument T(const std::string& value) {
    return SatArgument::Text(value);
}

// One raw call of an export, made where the user interface runs library
// steps. The answer is not copied: it stays where the library (or the host
// client) put it until the operation is over. A host that ended during the
// call is reported here, with LastResponse (when given) holding the text.
bool CallLibrary(const SatCallContext& call, SatExport which,
                 std::initializer_list<SatArgument> arguments, SatLibraryAnswer& answer,
                 std::string* lastResponse) {
    try {
        call.ui.RunLibraryCall([&] {
            answer = call.library.Call(which, std::span(arguments.begin(), arguments.size()));
        });
    } catch (const SatHostEnded& ended) {
        ReportNoAnswer(call, SatAnswerKind::HostEnded, SatHostEndedText(which, ended),
                       lastResponse);
        return false;
    }
    return true;
}

// Steps shared by every wrapper except the version query: empty
// LastResponse, check the entry point, call it, keep the answer in view, send an
// answer without "|" down the error path. True when there are fields to
// decode, which are then in call.record.raw.
bool CallForFields(const SatCallContext& call, SatExport which, std::string& lastResponse,
                   std::initializer_list<SatArgument> arguments) {
    std::string().swap(lastResponse); // its memory goes back, not only its text
    call.record = {};
    if (!call.library.HasExport(which)) {
        ReportNoAnswer(call, SatAnswerKind::NotLoaded, SatNotLoadedText(which), &lastResponse);
        return false;
    }
    SatLibraryAnswer answer;
    if (!CallLibrary(call, which, arguments, answer, &lastResponse)) {
        return false;
    }
    if (!answer.present) {
        ReportNoAnswer(call, SatAnswerKind::NullAnswer, SatNullAnswerText(which), &lastResponse);
        return false;
    }
    call.record.raw = answer.text;
    if (!HasFieldSeparator(call.record.raw)) {
        call.record.kind = SatAnswerKind::ErrorText;
        TakeErrorPath(call.record.raw, call.ui, lastResponse);
        return false;
    }
    call.record.kind = SatAnswerKind::Fields;
    return true;
}

bool Report(const SatCallContext& call, const ReportProfile& profile, std::string& lastResponse) {
    return DecodeReportAnswer(call.record.raw, profile, call.ui, lastResponse, call.record.payload,
                              call.payloadSink);
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
constexpr ReportProfile kCancelarUltimaVenda{
    12, 2, 4, 6, 7, "07000", InvalidUtf8Field::KeptAsReceived};

// The device answered the lookup: with the looked-up session's own answer
// or with one of the lookup's refusals.
constexpr std::array<std::string_view, 6> kConsultarNumeroSessaoCodes = {"11000", "11001", "11002",
                                                                         "11003", "11098", "11099"};
constexpr std::array<std::string_view, 1> kBloquearSATCodes = {"16000"};

} // namespace

std::string SatNullAnswerText(SatExport which) {
    return std::string(SatExportName(which)) + Utf8ToCp1252(" não retornou resposta");
}

std::string SatHostEndedText(SatExport which, const SatHostEnded& ended) {
    std::string text(SatExportName(which));
    if (ended.cause() == SatHostEnded::Cause::Crashed) {
        text += ": a biblioteca SAT encerrou de forma inesperada (" + ended.how() + ").";
    } else {
        text += ": a espera pela biblioteca SAT foi interrompida e a biblioteca foi encerrada; "
                "o resultado da operação é desconhecido.";
    }
    if (which == SatExport::EnviarDadosVenda || which == SatExport::CancelarUltimaVenda) {
        text += "\r\nO equipamento SAT pode ter ";
        text += which == SatExport::EnviarDadosVenda ? "emitido a venda" : "cancelado a venda";
        text += ": consulte a última sessão fiscal antes de tentar de novo.";
    }
    return Utf8ToCp1252(text);
}

bool DllConfigurarInterfaceDeRede(const SatCallContext& call, std::string& LastResponse,
                                  std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                  const std::string& dadosConfiguracao) {
    // The document is built from Windows-1252 fields but declares UTF-8, so
    // an accented user name or password must reach the library as UTF-8.
    const std::string document = Cp1252ToUtf8(dadosConfiguracao);
    return CallForFields(call, SatExport::ConfigurarInterfaceDeRede, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), T(document)}) &&
           Report(call, kConfigurarInterfaceDeRede, LastResponse);
}

bool DllAtivarSAT(const SatCallContext& call, std::string& LastResponse, std::int32_t numeroSessao,
                  std::int32_t subComando, const std::string& codigoDeAtivacao,
                  const std::string& cnpjContribuinte, std::int32_t cUF) {
    return CallForFields(call, SatExport::AtivarSAT, LastResponse,
                         {N(numeroSessao), N(subComando), T(codigoDeAtivacao), T(cnpjContribuinte),
                          N(cUF)}) &&
           Report(call, kAtivarSAT, LastResponse);
}

bool DllAssociarAssinatura(const SatCallContext& call, std::string& LastResponse,
                           std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                           const std::string& CNPJvalue, const std::string& assinaturaCNPJs) {
    return CallForFields(
               call, SatExport::AssociarAssinatura, LastResponse,
               {N(numeroSessao), T(codigoDeAtivacao), T(CNPJvalue), T(assinaturaCNPJs)}) &&
           Report(call, kAssociarAssinatura, LastResponse);
}

bool DllConsultarSAT(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao) {
    return CallForFields(call, SatExport::ConsultarSAT, LastResponse, {N(numeroSessao)}) &&
           Report(call, kConsultarSAT, LastResponse);
}

bool DllConsultarStatusOperacional(const SatCallContext& call, std::string& LastResponse,
                                   std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                   TSatStatusOperacional& StatusOperacional) {
    return CallForFields(call, SatExport::ConsultarStatusOperacional, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao)}) &&
           DecodeStatusAnswer(call.record.raw, StatusOperacional, call.ui, LastResponse);
}

bool DllConsultarNumeroSessao(const SatCallContext& call, std::string& LastResponse,
                              std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                              std::int32_t cNumeroDeSessao) {
    return CallForFields(call, SatExport::ConsultarNumeroSessao, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), N(cNumeroDeSessao)}) &&
           DecodeSilentAnswer(call.record.raw, kConsultarNumeroSessaoCodes, LastResponse);
}

bool DllExtrairLogs(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    return CallForFields(call, SatExport::ExtrairLogs, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao)}) &&
           Report(call, kExtrairLogs, LastResponse);
}

bool DllTesteFimAFim(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                     const std::string& dadosVenda) {
    return CallForFields(call, SatExport::TesteFimAFim, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), T(dadosVenda)}) &&
           DecodeEndToEndAnswer(call.record.raw, call.ui, LastResponse);
}

bool DllEnviarDadosVenda(const SatCallContext& call, std::string& LastResponse,
                         std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                         const std::string& dadosVenda) {
    return CallForFields(call, SatExport::EnviarDadosVenda, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), T(dadosVenda)}) &&
           Report(call, kEnviarDadosVenda, LastResponse);
}

bool DllCancelarUltimaVenda(const SatCallContext& call, std::string& LastResponse,
                            std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                            const std::string& chave, const std::string& dadosCancelamento) {
    return CallForFields(call, SatExport::CancelarUltimaVenda, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), T(chave), T(dadosCancelamento)}) &&
           Report(call, kCancelarUltimaVenda, LastResponse);
}

bool DllBloquearSAT(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    return CallForFields(call, SatExport::BloquearSAT, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao)}) &&
           DecodeSilentAnswer(call.record.raw, kBloquearSATCodes, LastResponse);
}

bool DllDesbloquearSAT(const SatCallContext& call, std::string& LastResponse,
                       std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    if (CallForFields(call, SatExport::DesbloquearSAT, LastResponse,
                      {N(numeroSessao), T(codigoDeAtivacao)})) {
        DecodeRawAnswer(call.record.raw, LastResponse);
    }
    return false;
}

bool DllAtualizarSoftwareSAT(const SatCallContext& call, std::string& LastResponse,
                             std::int32_t numeroSessao, const std::string& codigoDeAtivacao) {
    if (CallForFields(call, SatExport::AtualizarSoftwareSAT, LastResponse,
                      {N(numeroSessao), T(codigoDeAtivacao)})) {
        DecodeRawAnswer(call.record.raw, LastResponse);
    }
    return false;
}

bool DllTrocarCodigoDeAtivacao(const SatCallContext& call, std::string& LastResponse,
                               std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                               std::int32_t opcao, const std::string& novoCodigo,
                               const std::string& confNovoCodigo) {
    return CallForFields(call, SatExport::TrocarCodigoDeAtivacao, LastResponse,
                         {N(numeroSessao), T(codigoDeAtivacao), N(opcao), T(novoCodigo),
                          T(confNovoCodigo)}) &&
           Report(call, kTrocarCodigoDeAtivacao, LastResponse);
}

void DllVersaoDLL(const SatCallContext& call, std::string& versao) {
    versao.clear();
    call.record = {};
    if (!call.library.HasExport(SatExport::VersaoDLL)) {
        ReportNoAnswer(call, SatAnswerKind::NotLoaded, SatNotLoadedText(SatExport::VersaoDLL),
                       nullptr);
        return;
    }
    SatLibraryAnswer answer;
    if (!CallLibrary(call, SatExport::VersaoDLL, {}, answer, nullptr)) {
        return;
    }
    if (!answer.present) {
        ReportNoAnswer(call, SatAnswerKind::NullAnswer, SatNullAnswerText(SatExport::VersaoDLL),
                       nullptr);
        return;
    }
    call.record.raw = answer.text;
    call.record.kind = SatAnswerKind::Text;
    versao = DecodeVersionAnswer(call.record.raw);
}
