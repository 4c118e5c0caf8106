#include "rules/field_validation.h"

#include "rules/cp1252.h"
#include "rules/field_rules.h"
#include "rules/state_codes.h"
#include "rules/text_utils.h"
#include "rules/whole_number_format.h"

namespace {

// The refusals, written in UTF-8 here and converted once to Windows-1252.
struct Messages {
    std::string cnpj = Utf8ToCp1252("CNPJ incorreto !\r\nRevise o mesmo e tente novamente.");
    std::string code =
        Utf8ToCp1252("Código de ATIVAÇÃO incorreto !\r\nRevise o mesmo e tente novamente.");
    std::string codeConfirmation = Utf8ToCp1252(
        "Código de ATIVAÇÃO de CONFIRMAÇÃO incorreto !\r\nRevise o mesmo e tente novamente.");
    std::string codesDiffer =
        Utf8ToCp1252("Código de ATIVAÇÃO e ATIVAÇÃO de CONFIRMAÇÃO não coincidem !\r\n"
                     "Revise os mesmos e tente novamente.");
    std::string taxpayerCnpj = Utf8ToCp1252("CNPJ do Contribuinte para ASSINATURA incorreto !\r\n"
                                            "Revise o mesmo e tente novamente.");
    std::string softwareHouseCnpj =
        Utf8ToCp1252("CNPJ da Software House para ASSINATURA incorreto !\r\n"
                     "Revise o mesmo e tente novamente.");
    std::string signature =
        Utf8ToCp1252("ASSINATURA incorreta !\r\nRevise o mesmo e tente novamente.");
    std::string currentCode =
        Utf8ToCp1252("Código de ATIVAÇÃO ATUAL ou de EMERGENCIA incorreto !\r\n"
                     "Revise o mesmo e tente novamente.");
    std::string newCode =
        Utf8ToCp1252("Código de ATIVAÇÃO NOVO incorreto !\r\nRevise o mesmo e tente novamente.");
    std::string newCodeConfirmation =
        Utf8ToCp1252("Código de ATIVAÇÃO NOVO de CONFIRMAÇÃO incorreto !\r\n"
                     "Revise o mesmo e tente novamente.");
    std::string newCodesDiffer =
        Utf8ToCp1252("Código de ATIVAÇÃO NOVO e ATIVAÇÃO NOVO de CONFIRMAÇÃO não coincidem !\r\n"
                     "Revise os mesmos e tente novamente.");
};

const Messages& Texts() {
    static const Messages messages;
    return messages;
}

// Trims the field in place and tells whether the code may be sent.
bool TrimAndCheckCode(std::string& field) {
    field = TrimBlanks(field);
    return IsAcceptableActivationCode(field);
}

bool HasValidCheckDigits(const std::string& normalisedCnpj) {
    return IsValidCnpj(WholeNumberValue(normalisedCnpj));
}

} // namespace

std::string NormaliseCnpj(std::string_view text) {
    return FormatWholeNumber(CnpjFieldValue(text), 14);
}

bool ValidateActivationFields(ActivationFields& fields, ActivationParameters& activation,
                              CodeChangeParameters& codeChange, const ShowMessage& show) {
    codeChange = {};

    fields.ativar_cnpj = NormaliseCnpj(fields.ativar_cnpj);
    const double cnpj = WholeNumberValue(fields.ativar_cnpj);
    if (!IsValidCnpj(cnpj) && cnpj > 0) {
        return ShowRefusal(show, Texts().cnpj);
    }
    if (!TrimAndCheckCode(fields.ativar_codigo)) {
        return ShowRefusal(show, Texts().code);
    }
    if (!TrimAndCheckCode(fields.ativar_codigo_conf)) {
        return ShowRefusal(show, Texts().codeConfirmation);
    }
    if (fields.ativar_codigo_conf != fields.ativar_codigo) {
        return ShowRefusal(show, Texts().codesDiffer);
    }

    activation.cnpjContribuinte = fields.ativar_cnpj;
    activation.codigoDeAtivacao = fields.ativar_codigo;
    activation.cUF = StateCodeForIndex(fields.ativar_certificado_uf);
    activation.subComando = 1;
    return true;
}

bool ValidateSignatureFields(SignatureFields& fields, SignatureParameters& signature,
                             const ShowMessage& show) {
    fields.associar_cnpj = NormaliseCnpj(fields.associar_cnpj);
    fields.associar_sh = NormaliseCnpj(fields.associar_sh);
    // A wrong check digit is a typing slip: refuse it here rather than
    // spend a session on an association the device will reject.
    if (!HasValidCheckDigits(fields.associar_cnpj)) {
        return ShowRefusal(show, Texts().taxpayerCnpj);
    }
    if (!HasValidCheckDigits(fields.associar_sh)) {
        return ShowRefusal(show, Texts().softwareHouseCnpj);
    }
    std::string text = MemoValue(fields.associar_assinatura);
    if (IsBlank(text)) {
        return ShowRefusal(show, Texts().signature);
    }

    signature.assinaturaCNPJs = std::move(text);
    signature.CNPJvalue = NormaliseCnpj(fields.associar_sh) + NormaliseCnpj(fields.associar_cnpj);
    return true;
}

bool ValidateCodeChangeFields(CodeChangeFields& fields, CodeChangeParameters& codeChange,
                              const ShowMessage& show) {
    codeChange = {};

    if (!TrimAndCheckCode(fields.manutencao_cod_ativacao)) {
        return ShowRefusal(show, Texts().currentCode);
    }
    if (!TrimAndCheckCode(fields.manutencao_cod_ativacao_novo)) {
        return ShowRefusal(show, Texts().newCode);
    }
    if (!TrimAndCheckCode(fields.manutencao_cod_ativacao_novo_conf)) {
        return ShowRefusal(show, Texts().newCodeConfirmation);
    }
    if (fields.manutencao_cod_ativacao_novo_conf != fields.manutencao_cod_ativacao_novo) {
        return ShowRefusal(show, Texts().newCodesDiffer);
    }

    codeChange.codigoAtual = fields.manutencao_cod_ativacao;
    codeChange.novoCodigo = fields.manutencao_cod_ativacao_novo;
    codeChange.confNovoCodigo = fields.manutencao_cod_ativacao_novo_conf;
    return true;
}
