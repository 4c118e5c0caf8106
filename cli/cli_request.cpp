#include "cli/cli_request.h"

#include <algorithm>
#include <set>

#include "rules/cp1252.h"

namespace {

struct CommandSyntax {
    std::string name;
    std::size_t positionals;
    std::set<std::string> options; // options that take a value
    std::set<std::string> flags;
};

// Every command also takes the options common to all.
const std::set<std::string> kCommonOptions = {"sat-library", "codigo", "tempo-limite"};

const std::vector<CommandSyntax>& Commands() {
    static const std::vector<CommandSyntax> commands = {
        {"consultar", 0, {}, {}},
        {"status", 0, {"formato", "saida", "codigo-arquivo"}, {}},
        {"verificar",
         0,
         {"codigo-arquivo", "sefaz-aviso", "sefaz-critico", "certificado-aviso",
          "certificado-critico", "memoria-aviso", "memoria-critico", "pendentes-aviso",
          "pendentes-critico"},
         {}},
        {"sessao", 1, {}, {}},
        {"logs", 0, {"saida"}, {}},
        {"fim-a-fim", 0, {}, {}},
        {"venda", 1, {}, {}},
        {"cancelar", 1, {"chave"}, {}},
        {"ativar", 0, {"cnpj", "confirmacao", "uf"}, {}},
        {"associar", 0, {"cnpj", "cnpj-sh", "assinatura", "assinatura-arquivo"}, {}},
        {"rede",
         0,
         {"usuario", "senha", "ip", "mascara", "gateway", "dns1", "dns2", "proxy", "proxy-ip",
          "proxy-porta", "proxy-usuario", "proxy-senha"},
         {}},
        {"bloquear", 0, {}, {}},
        {"desbloquear", 0, {}, {}},
        {"atualizar", 0, {}, {}},
        {"trocar-codigo", 0, {"atual", "novo", "confirmacao"}, {"emergencia"}},
        {"versao", 0, {}, {}},
    };
    return commands;
}

const CommandSyntax* FindCommand(const std::string& name) {
    const auto& commands = Commands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const CommandSyntax& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

bool IsKnownOption(const std::string& name) {
    if (kCommonOptions.count(name) != 0) {
        return true;
    }
    return std::any_of(Commands().begin(), Commands().end(),
                       [&](const CommandSyntax& c) { return c.options.count(name) != 0; });
}

bool IsKnownFlag(const std::string& name) {
    return std::any_of(Commands().begin(), Commands().end(),
                       [&](const CommandSyntax& c) { return c.flags.count(name) != 0; });
}

} // namespace

std::optional<std::string> CliRequest::Value(const std::string& option) const {
    const auto found = values.find(option);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool CliRequest::Flag(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

CliParseResult ParseCliArguments(const std::vector<std::string>& arguments) {
    CliParseResult result;
    CliRequest& request = result.request;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        // Every text goes on to the core in Windows-1252; refuse what cannot.
        if (!argument.empty() && Utf8ToCp1252(argument).empty()) {
            result.error = "argumento que não é UTF-8 válido";
            return result;
        }
        if (argument == "--help" || argument == "-h") {
            request.help = true;
            continue;
        }
        if (argument.size() <= 2 || argument.compare(0, 2, "--") != 0) {
            words.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (IsKnownFlag(name)) {
            if (value) {
                result.error = "a opção --" + name + " não leva valor";
                return result;
            }
            request.flags.push_back(name);
            continue;
        }
        if (!IsKnownOption(name)) {
            result.error = "opção desconhecida: --" + name;
            return result;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                result.error = "falta o valor da opção --" + name;
                return result;
            }
            value = arguments[++i];
        }
        if (request.values.count(name) != 0) {
            result.error = "a opção --" + name + " foi dada mais de uma vez";
            return result;
        }
        request.values[name] = *value;
    }
    if (request.help) {
        return result;
    }
    if (words.empty()) {
        result.error = "falta o comando";
        return result;
    }
    request.command = words.front();
    request.positionals.assign(words.begin() + 1, words.end());

    const CommandSyntax* syntax = FindCommand(request.command);
    if (syntax == nullptr) {
        result.error = "comando desconhecido: " + request.command;
        return result;
    }
    if (request.positionals.size() != syntax->positionals) {
        result.error = "número errado de argumentos para " + request.command;
        return result;
    }
    for (const auto& [name, value] : request.values) {
        if (kCommonOptions.count(name) == 0 && syntax->options.count(name) == 0) {
            result.error = "a opção --" + name + " não se aplica a " + request.command;
            return result;
        }
    }
    for (const std::string& flag : request.flags) {
        if (syntax->flags.count(flag) == 0) {
            result.error = "a opção --" + flag + " não se aplica a " + request.command;
            return result;
        }
    }
    if (const auto limit = request.Value("tempo-limite"); limit && !ParseTimeLimitSeconds(*limit)) {
        result.error = "o valor de --tempo-limite deve ser um número inteiro de segundos, de 1 a " +
                       std::to_string(kMaxTimeLimitSeconds);
        return result;
    }
    return result;
}

std::optional<int> ParseTimeLimitSeconds(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int seconds = std::stoi(text);
    if (seconds < 1 || seconds > kMaxTimeLimitSeconds) {
        return std::nullopt;
    }
    return seconds;
}

std::string CliHelpText() {
    return R"(Uso: dravovexa-cli [opções] COMANDO [ARGUMENTOS]

Opera o equipamento SAT pela biblioteca SAT ao lado do programa, com os
números de sessão de "dravovexa.ini": o da máquina, /var/lib/dravovexa, na
instalação pelo pacote, senão o ao lado do programa; enquanto esse não pode
ser gravado, o da pasta de configurações do usuário.

Comandos:
  consultar                  Consulta SAT
  status                     Consultar Status Operacional (exige --codigo)
                             [--formato texto|json|prometheus] [--saida ARQUIVO]
                             (json e prometheus: gravado de uma vez em ARQUIVO)
  verificar                  Status Operacional como verificação (exige
                             --codigo) no padrão dos monitoring-plugins
                             (Nagios, Icinga, Zabbix): saída 0 OK, 1 AVISO,
                             2 CRÍTICO, 3 DESCONHECIDO; limites, com os padrões:
                             --sefaz-aviso 5 --sefaz-critico 8 (dias sem SEFAZ)
                             --certificado-aviso 30 --certificado-critico 7
                             (dias até o vencimento), --memoria-aviso 80
                             --memoria-critico 95 (% usada), --pendentes-aviso 50
                             --pendentes-critico 500 (CF-e aguardando transmissão)
  sessao N                   Consultar Número de Sessão N
  logs [--saida ARQUIVO]     Extrair Logs (grava o log decodificado em ARQUIVO)
  fim-a-fim                  Teste Fim a Fim com a venda de teste
  venda ARQUIVO              Enviar Dados de Venda do ARQUIVO (CF-e-SAT)
  cancelar ARQUIVO --chave K Cancelar Última Venda com a chave de acesso K
  ativar                     Ativar SAT: --cnpj CNPJ --codigo C
                             [--confirmacao C] [--uf SP]
  associar                   Associar Assinatura: --cnpj CNPJ --cnpj-sh CNPJ
                             (--assinatura TEXTO | --assinatura-arquivo ARQUIVO)
  rede                       Configurar Interface de Rede: DHCP por padrão
                             [--usuario U --senha S]; IP fixo com --ip A.B.C.D
                             --mascara --gateway --dns1 --dns2; proxy com
                             --proxy 0|1|2 --proxy-ip --proxy-porta
                             --proxy-usuario --proxy-senha
  bloquear                   Bloquear SAT
  desbloquear                Desbloquear SAT
  atualizar                  Atualizar Software SAT
  trocar-codigo              Trocar Código de Ativação: --atual C --novo N
                             [--confirmacao N] [--emergencia]
  versao                     Versão da biblioteca SAT

Opções:
  --codigo C                 Código de Ativação Padrão (8 a 32 caracteres)
  --codigo-arquivo ARQUIVO   status e verificar: o código na primeira linha
                             de ARQUIVO (fora da lista de processos)
  --sat-library CAMINHO      usa esta biblioteca SAT em vez da que está ao
                             lado do programa
  --tempo-limite SEGUNDOS    abandona a operação se a biblioteca SAT não
                             responder neste tempo (sem a opção, espera)
  --help, -h                 mostra este texto

As mensagens saem na saída de erro; o retorno do SAT, na saída padrão.
Saída: 0 sucesso, 1 recusado ou falhou, 2 uso incorreto, 3 biblioteca SAT
não localizada ou não carregada, 4 tempo limite esgotado, 5 a biblioteca SAT
encerrou de forma inesperada durante a operação (verificar sai sempre com 0 a 3).
)";
}
