#pragma once
// The device's answers: "|"-separated fields, field 1 the session number,
// field 2 the five-digit return code EEEEE, and the message of each code as
// the SAT standard words it.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace satemu {

// Families of return codes: the first two digits of EEEEE.
enum Family : int {
    kAtivarSAT = 4,
    kComunicarCertificado = 5,
    kEnviarDadosVenda = 6,
    kCancelarUltimaVenda = 7,
    kConsultarSAT = 8,
    kTesteFimAFim = 9,
    kConsultarStatusOperacional = 10,
    kConsultarNumeroSessao = 11,
    kConfigurarInterfaceDeRede = 12,
    kAssociarAssinatura = 13,
    kAtualizarSoftwareSAT = 14,
    kExtrairLogs = 15,
    kBloquearSAT = 16,
    kDesbloquearSAT = 17,
    kTrocarCodigoDeAtivacao = 18,
    kConsultarUltimaSessaoFiscal = 19,
};

// 4000 -> "04000".
std::string ReturnCode(int code);

// The message of a return code (xx097, xx098 and xx099 for every family).
std::string_view MessageFor(int code);

// Detail code of a fiscal answer (CCCC): "0000" for 0, else the four digits.
std::string DetailCode(int detail);

std::string JoinFields(std::initializer_list<std::string_view> fields);
std::string JoinFields(const std::vector<std::string>& fields);
std::vector<std::string> SplitFields(std::string_view answer);

// Index (from 0) of the message field: 3 in the fiscal answers, which carry
// the detail code CCCC third, else 2.
std::size_t MessageFieldIndex(std::string_view answer);

// numeroSessao|EEEEE|mensagem|cod|mensagemSEFAZ, then `extra` fields.
std::string StandardAnswer(int session, int code,
                           std::initializer_list<std::string_view> extra = {});

// The six-field refusal of a sale or cancellation:
// numeroSessao|EEEEE|CCCC|mensagem|cod|mensagemSEFAZ.
std::string FiscalRefusal(int session, int code, int detail);

// The code (EEEEE as a number) of an answer; -1 when it has none.
int AnswerCode(std::string_view answer);

} // namespace satemu
