#pragma once
// The wrappers around the SAT library's functions: each checks its entry
// point, calls it with the session number and its arguments, copies the
// answer and decodes it by its function's profile, reporting to the user.
// None of them throws for anything the library answers.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "sat/base64_field.h"
#include "sat/library_access.h"
#include "sat/status_operacional.h"
#include "sat/un_funcoes_dll.h"
#include "sat/user_interface.h"

// What the library did on the last call, beyond what LastResponse shows.
enum class SatAnswerKind {
    None,       // no call made yet
    NotLoaded,  // the entry point is missing: nothing was called
    NullAnswer, // the function returned a null pointer instead of a text
    ErrorText,  // the answer holds no "|": an error text of the library
    Fields,     // a "|"-separated answer
    Text,       // the version query's answer, taken whole
    HostEnded,  // the library's process ended during the call: no answer
};

struct SatCallRecord {
    SatAnswerKind kind = SatAnswerKind::None;
    // The answer exactly as the library returned it (UTF-8), while it is
    // being decoded; emptied once the operation is over (the text it viewed
    // is the library's or the host client's, and goes with the next call).
    std::string_view raw;
    // Where the answer's Base64 payload went in LastResponse, for the
    // operations that have one.
    Base64Payload payload;
};

// Takes a Base64 payload's device bytes in pieces, in order.
using PayloadSink = std::function<void(std::string_view)>;

// Where a wrapper makes its call, how it reaches the user and where it notes
// what the library did. With a payload sink, an answer's Base64 payload goes
// there as the device's bytes and its field in LastResponse stays empty.
struct SatCallContext {
    SatLibraryAccess& library;
    SatUserInterface& ui;
    SatCallRecord& record;
    const PayloadSink* payloadSink = nullptr;
};

// The Windows-1252 text that reports a call whose library process ended,
// without a marker: the function, what happened and, for a sale or a
// cancellation, that the device may have carried it out.
std::string SatHostEndedText(SatExport which, const SatHostEnded& ended);

// The Windows-1252 text reported when an export answers a null pointer,
// without a marker: "ConsultarSAT não retornou resposta".
std::string SatNullAnswerText(SatExport which);

// Every wrapper empties LastResponse first and returns false when the entry
// point is missing (LastResponse and an "[e]" dialog get its not-loaded
// text), when the function answers a null pointer (the same, with the
// null-answer text) or when the answer holds no "|" (the error path).
// Texts are passed as null-terminated strings, an empty text as "".
// Arguments go as the Windows-1252 bytes they hold, except the network
// configuration document, which declares UTF-8 and is converted to it.

bool DllConfigurarInterfaceDeRede(const SatCallContext& call, std::string& LastResponse,
                                  std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                  const std::string& dadosConfiguracao);
bool DllAtivarSAT(const SatCallContext& call, std::string& LastResponse, std::int32_t numeroSessao,
                  std::int32_t subComando, const std::string& codigoDeAtivacao,
                  const std::string& cnpjContribuinte, std::int32_t cUF);
bool DllAssociarAssinatura(const SatCallContext& call, std::string& LastResponse,
                           std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                           const std::string& CNPJvalue, const std::string& assinaturaCNPJs);
bool DllConsultarSAT(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao);
bool DllConsultarStatusOperacional(const SatCallContext& call, std::string& LastResponse,
                                   std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                                   TSatStatusOperacional& StatusOperacional);
bool DllConsultarNumeroSessao(const SatCallContext& call, std::string& LastResponse,
                              std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                              std::int32_t cNumeroDeSessao);
bool DllExtrairLogs(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao);
bool DllTesteFimAFim(const SatCallContext& call, std::string& LastResponse,
                     std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                     const std::string& dadosVenda);
bool DllEnviarDadosVenda(const SatCallContext& call, std::string& LastResponse,
                         std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                         const std::string& dadosVenda);
bool DllCancelarUltimaVenda(const SatCallContext& call, std::string& LastResponse,
                            std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                            const std::string& chave, const std::string& dadosCancelamento);
bool DllBloquearSAT(const SatCallContext& call, std::string& LastResponse,
                    std::int32_t numeroSessao, const std::string& codigoDeAtivacao);
// Never judged: false for every answer.
bool DllDesbloquearSAT(const SatCallContext& call, std::string& LastResponse,
                       std::int32_t numeroSessao, const std::string& codigoDeAtivacao);
// Never judged: false for every answer.
bool DllAtualizarSoftwareSAT(const SatCallContext& call, std::string& LastResponse,
                             std::int32_t numeroSessao, const std::string& codigoDeAtivacao);
bool DllTrocarCodigoDeAtivacao(const SatCallContext& call, std::string& LastResponse,
                               std::int32_t numeroSessao, const std::string& codigoDeAtivacao,
                               std::int32_t opcao, const std::string& novoCodigo,
                               const std::string& confNovoCodigo);

// The library's version text, empty when VersaoDLL is missing or answers a
// null pointer (both shown in an "[e]" dialog). LastResponse is not touched.
void DllVersaoDLL(const SatCallContext& call, std::string& versao);
