// A SAT library for the binding tests. Every export answers with the session
// number, its own name and the other arguments it received, separated by
// "|", so a test sees which function a table entry reaches and that each
// argument arrives in its place. Variants of the library leave exports out:
// defining DVT_OMIT_<export name> drops that export.

#include <cstdint>
#include <string>

#include "sat/platform/calling_convention.h"

#if defined(_WIN32)
#define DVT_SAT_EXPORT extern "C" __declspec(dllexport)
#else
#define DVT_SAT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// The answer stays valid until the next call, as a real library's does.
std::string lastAnswer;

std::string Text(const char* s) {
    return s != nullptr ? std::string(s) : std::string("(null)");
}

std::string Field(std::int32_t value) {
    return std::to_string(value);
}
std::string Field(const char* value) {
    return Text(value);
}

template <typename... Args> const char* Answer(const char* name, Args... args) {
    lastAnswer = name;
    ((lastAnswer += "|" + Field(args)), ...);
    return lastAnswer.c_str();
}

} // namespace

#ifndef DVT_OMIT_AssociarAssinatura
DVT_SAT_EXPORT const char* DVT_SATCALL AssociarAssinatura(std::int32_t sessao, const char* codigo,
                                                          const char* cnpjValue,
                                                          const char* assinatura) {
    return Answer("AssociarAssinatura", sessao, codigo, cnpjValue, assinatura);
}
#endif

#ifndef DVT_OMIT_AtivarSAT
DVT_SAT_EXPORT const char* DVT_SATCALL AtivarSAT(std::int32_t sessao, std::int32_t subComando,
                                                 const char* codigo, const char* cnpj,
                                                 std::int32_t cUF) {
    return Answer("AtivarSAT", sessao, subComando, codigo, cnpj, cUF);
}
#endif

#ifndef DVT_OMIT_AtualizarSoftwareSAT
DVT_SAT_EXPORT const char* DVT_SATCALL AtualizarSoftwareSAT(std::int32_t sessao,
                                                            const char* codigo) {
    return Answer("AtualizarSoftwareSAT", sessao, codigo);
}
#endif

#ifndef DVT_OMIT_BloquearSAT
DVT_SAT_EXPORT const char* DVT_SATCALL BloquearSAT(std::int32_t sessao, const char* codigo) {
    return Answer("BloquearSAT", sessao, codigo);
}
#endif

#ifndef DVT_OMIT_CancelarUltimaVenda
DVT_SAT_EXPORT const char* DVT_SATCALL CancelarUltimaVenda(std::int32_t sessao, const char* codigo,
                                                           const char* chave,
                                                           const char* dadosCancelamento) {
    return Answer("CancelarUltimaVenda", sessao, codigo, chave, dadosCancelamento);
}
#endif

#ifndef DVT_OMIT_ComunicarCertificadoICPBRASIL
DVT_SAT_EXPORT const char* DVT_SATCALL ComunicarCertificadoICPBRASIL(std::int32_t sessao,
                                                                     const char* codigo,
                                                                     const char* certificado) {
    return Answer("ComunicarCertificadoICPBRASIL", sessao, codigo, certificado);
}
#endif

#ifndef DVT_OMIT_ConfigurarInterfaceDeRede
DVT_SAT_EXPORT const char* DVT_SATCALL ConfigurarInterfaceDeRede(std::int32_t sessao,
                                                                 const char* codigo,
                                                                 const char* dadosConfiguracao) {
    return Answer("ConfigurarInterfaceDeRede", sessao, codigo, dadosConfiguracao);
}
#endif

#ifndef DVT_OMIT_ConsultarSAT
DVT_SAT_EXPORT const char* DVT_SATCALL ConsultarSAT(std::int32_t sessao) {
    return Answer("ConsultarSAT", sessao);
}
#endif

#ifndef DVT_OMIT_DesligarSAT
DVT_SAT_EXPORT const char* DVT_SATCALL DesligarSAT() {
    return Answer("DesligarSAT");
}
#endif

#ifndef DVT_OMIT_ConsultarStatusOperacional
DVT_SAT_EXPORT const char* DVT_SATCALL ConsultarStatusOperacional(std::int32_t sessao,
                                                                  const char* codigo) {
    return Answer("ConsultarStatusOperacional", sessao, codigo);
}
#endif

#ifndef DVT_OMIT_DesbloquearSAT
DVT_SAT_EXPORT const char* DVT_SATCALL DesbloquearSAT(std::int32_t sessao, const char* codigo) {
    return Answer("DesbloquearSAT", sessao, codigo);
}
#endif

#ifndef DVT_OMIT_EnviarDadosVenda
DVT_SAT_EXPORT const char* DVT_SATCALL EnviarDadosVenda(std::int32_t sessao, const char* codigo,
                                                        const char* dadosVenda) {
    return Answer("EnviarDadosVenda", sessao, codigo, dadosVenda);
}
#endif

#ifndef DVT_OMIT_ExtrairLogs
DVT_SAT_EXPORT const char* DVT_SATCALL ExtrairLogs(std::int32_t sessao, const char* codigo) {
    return Answer("ExtrairLogs", sessao, codigo);
}
#endif

#ifndef DVT_OMIT_TesteFimAFim
DVT_SAT_EXPORT const char* DVT_SATCALL TesteFimAFim(std::int32_t sessao, const char* codigo,
                                                    const char* dadosVenda) {
    return Answer("TesteFimAFim", sessao, codigo, dadosVenda);
}
#endif

#ifndef DVT_OMIT_TrocarCodigoDeAtivacao
DVT_SAT_EXPORT const char* DVT_SATCALL TrocarCodigoDeAtivacao(std::int32_t sessao,
                                                              const char* codigo,
                                                              std::int32_t opcao,
                                                              const char* novoCodigo,
                                                              const char* confirmacao) {
    return Answer("TrocarCodigoDeAtivacao", sessao, codigo, opcao, novoCodigo, confirmacao);
}
#endif

#ifndef DVT_OMIT_ConsultarNumeroSessao
DVT_SAT_EXPORT const char* DVT_SATCALL ConsultarNumeroSessao(std::int32_t sessao,
                                                             const char* codigo,
                                                             std::int32_t numeroSessao) {
    return Answer("ConsultarNumeroSessao", sessao, codigo, numeroSessao);
}
#endif

#ifndef DVT_OMIT_VersaoDLL
DVT_SAT_EXPORT const char* DVT_SATCALL VersaoDLL() {
    return Answer("VersaoDLL");
}
#endif
