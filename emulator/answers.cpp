#include "emulator/answers.h"

#include "emulator/document_numbers.h"

#include <charconv>
#include <cstdio>
#include <utility>

namespace satemu {
namespace {

constexpr std::pair<int, std::string_view> kMessages[] = {
    {4000, "Ativado corretamente"},
    {4001, "Erro na criação do certificado"},
    {4002, "SEFAZ não reconhece este SAT (CNPJ inválido)"},
    {4003, "SAT já ativado"},
    {4004, "SAT com uso cessado"},
    {4005, "Erro de comunicação com a SEFAZ"},
    {4006, "CSR ICP-BRASIL criado com sucesso"},
    {4007, "Erro na criação do CSR ICP-BRASIL"},
    {4099, "Erro desconhecido na ativação"},
    {5000, "Certificado transmitido com sucesso"},
    {5001, "Código de ativação inválido"},
    {5002, "Erro de comunicação com a SEFAZ"},
    {5003, "Certificado inválido"},
    {6000, "Emitido com sucesso + conteúdo notas"},
    {6001, "Código de ativação inválido"},
    {6002, "SAT ainda não ativado"},
    {6003, "SAT não vinculado ao AC"},
    {6004, "Vinculação do AC não confere"},
    {6005, "Tamanho do CF-e-SAT superior a 1.500KB"},
    {6006, "SAT bloqueado pelo contribuinte"},
    {6007, "SAT bloqueado pela SEFAZ"},
    {6008, "SAT bloqueado por falta de comunicação"},
    {6009, "SAT bloqueado, código de ativação incorreto"},
    {6010, "Erro de validação do conteúdo"},
    {6099, "Erro desconhecido na emissão"},
    {7000, "Cupom cancelado com sucesso"},
    {7001, "Código de ativação inválido"},
    {7002, "Cupom inválido"},
    {7003, "SAT bloqueado pelo contribuinte"},
    {7004, "SAT bloqueado pela SEFAZ"},
    {7005, "SAT bloqueado por falta de comunicação"},
    {7006, "SAT bloqueado, código de ativação incorreto"},
    {7007, "Erro de validação do conteúdo"},
    {8000, "SAT em operação"},
    {9000, "Emitido com sucesso"},
    {9001, "Código de ativação inválido"},
    {9002, "SAT ainda não ativado"},
    {10000, "Resposta com sucesso"},
    {10001, "Código de ativação inválido"},
    {11001, "Código de ativação inválido"},
    {11002, "SAT ainda não ativado"},
    {11003, "Sessão não existe"},
    {12000, "Rede configurada com sucesso"},
    {12001, "Código de ativação inválido"},
    {12002, "Dados fora do padrão a ser informado"},
    {13000, "Assinatura do AC registrada"},
    {13001, "Código de ativação inválido"},
    {13002, "Erro de comunicação com a SEFAZ"},
    {13003, "Assinatura fora do padrão especificado"},
    {13004, "CNPJ da software house + CNPJ do emitente assinado no signAC difere do informado "
            "em CNPJvalue"},
    {13005, "Assinatura não reconhecida pela SEFAZ"},
    {13007, "CNPJ do contribuinte difere daquele da parametrização de uso"},
    {14000, "Software atualizado com sucesso"},
    {14001, "Código de ativação inválido"},
    {14002, "Atualização em andamento"},
    {14003, "Erro na atualização"},
    {14004, "Arquivo de atualização inválido"},
    {15000, "Transferência completa"},
    {15001, "Código de ativação inválido"},
    {15002, "Transferência em andamento"},
    {16000, "Equipamento SAT bloqueado com sucesso"},
    {16001, "Código de ativação inválido"},
    {16002, "Equipamento SAT já está bloqueado"},
    {16003, "Erro de comunicação com a SEFAZ"},
    {16004, "Não existe parametrização de bloqueio disponível"},
    {17000, "Equipamento SAT desbloqueado com sucesso"},
    {17001, "Código de ativação inválido"},
    {17002, "SAT bloqueado pelo contribuinte"},
    {17003, "SAT bloqueado pela SEFAZ"},
    {17004, "Erro de comunicação com a SEFAZ"},
    {17005, "SAT já desbloqueado"},
    {17006, "SAT com bloqueio autônomo"},
    {17007, "SAT bloqueado para desativação"},
    {18000, "Código de ativação alterado com sucesso"},
    {18001, "Código de ativação inválido"},
    {18002, "Código de ativação de emergência incorreto"},
    {19001, "Código de ativação inválido"},
    {19002, "SAT ainda não ativado"},
    {19003, "Não existe sessão fiscal"},
};

} // namespace

std::string ReturnCode(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", code);
    return text;
}

std::string_view MessageFor(int code) {
    for (const auto& [known, message] : kMessages) {
        if (known == code) {
            return message;
        }
    }
    switch (code % 1000) {
    case 97:
        return "Número de sessão inválido";
    case 98:
        return "SAT em processamento. Tente novamente.";
    default:
        return "Erro desconhecido";
    }
}

std::string DetailCode(int detail) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", detail);
    return text;
}

std::string JoinFields(std::initializer_list<std::string_view> fields) {
    std::string answer;
    bool first = true;
    for (const auto field : fields) {
        if (!first) {
            answer += '|';
        }
        answer += field;
        first = false;
    }
    return answer;
}

std::string JoinFields(const std::vector<std::string>& fields) {
    std::string answer;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            answer += '|';
        }
        answer += fields[i];
    }
    return answer;
}

std::vector<std::string> SplitFields(std::string_view answer) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = answer.find('|', start);
        fields.emplace_back(answer.substr(start, bar - start));
        if (bar == std::string_view::npos) {
            return fields;
        }
        start = bar + 1;
    }
}

std::size_t MessageFieldIndex(std::string_view answer) {
    const std::vector<std::string> fields = SplitFields(answer);
    return fields.size() >= 6 && IsDigits(fields[2], 4) ? 3 : 2;
}

std::string StandardAnswer(int session, int code, std::initializer_list<std::string_view> extra) {
    std::string answer =
        JoinFields({std::to_string(session), ReturnCode(code), MessageFor(code), "", ""});
    for (const auto field : extra) {
        answer += '|';
        answer += field;
    }
    return answer;
}

std::string FiscalRefusal(int session, int code, int detail) {
    return JoinFields(
        {std::to_string(session), ReturnCode(code), DetailCode(detail), MessageFor(code), "", ""});
}

int AnswerCode(std::string_view answer) {
    const std::size_t first = answer.find('|');
    if (first == std::string_view::npos) {
        return -1;
    }
    const std::string_view code = answer.substr(first + 1, 5);
    int value = -1;
    if (!IsDigits(code, 5) ||
        std::from_chars(code.data(), code.data() + code.size(), value).ec != std::errc{}) {
        return -1;
    }
    return value;
}

} // namespace satemu
