#pragma once
// The checks a send button runs before its SAT operation: activation,
// signature association and activation-code change. Each works on a copy of
// its page's field texts (Windows-1252), writes back into that copy what the
// page must show (trimmed codes, CNPJs as 14 digits), and either fills the
// operation parameters and returns true, or shows exactly one message and
// returns false leaving the parameters as they were. Neither moves the focus
// nor touches an indicator.

#include <string>
#include <string_view>
#include <vector>

#include "rules/show_message.h"

// The CNPJ of a field as the SAT library receives it: the mask separators
// removed, exactly 14 digits with leading zeros; an empty field gives
// "00000000000000".
std::string NormaliseCnpj(std::string_view text);

// The current, new and confirmation codes of the code change. Both the
// activation and the code-change checks empty them first, whatever their
// outcome.
struct CodeChangeParameters {
    std::string codigoAtual;
    std::string novoCodigo;
    std::string confNovoCodigo;
};

struct ActivationFields {
    std::string ativar_cnpj;
    std::string ativar_codigo;
    std::string ativar_codigo_conf;
    int ativar_certificado_uf = 0; // selected item of the state list
};

struct ActivationParameters {
    std::string cnpjContribuinte; // 14 digits
    std::string codigoDeAtivacao;
    std::string cUF; // two-digit state code
    int subComando = 1;
};

// The CNPJ is checked only when it is not all zeros (an empty field passes);
// then the code, the confirmation and their exact agreement.
bool ValidateActivationFields(ActivationFields& fields, ActivationParameters& activation,
                              CodeChangeParameters& codeChange, const ShowMessage& show);

struct SignatureFields {
    std::string associar_cnpj;                    // taxpayer
    std::string associar_sh;                      // software house
    std::vector<std::string> associar_assinatura; // the memo's lines
};

struct SignatureParameters {
    std::string assinaturaCNPJs; // the signature without line breaks
    std::string CNPJvalue;       // software house CNPJ, then taxpayer CNPJ: 28 digits
};

// Both CNPJs are normalised and written back, then checked (taxpayer first):
// a CNPJ whose check digits fail is refused, all zeros passes. Then the
// signature memo must not be blank.
bool ValidateSignatureFields(SignatureFields& fields, SignatureParameters& signature,
                             const ShowMessage& show);

struct CodeChangeFields {
    std::string manutencao_cod_ativacao;
    std::string manutencao_cod_ativacao_novo;
    std::string manutencao_cod_ativacao_novo_conf;
};

// The current (or emergency) code, the new code and its confirmation are
// trimmed, written back and checked in that order, then their agreement.
bool ValidateCodeChangeFields(CodeChangeFields& fields, CodeChangeParameters& codeChange,
                              const ShowMessage& show);
