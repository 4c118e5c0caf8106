#include "cli/cli_commands.h"

#include "cli/monitoring_commands.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string_view>
#include <utility>

#include "rules/cp1252.h"
#include "rules/date_time_format.h"
#include "rules/field_rules.h"
#include "rules/field_validation.h"
#include "rules/line_text.h"
#include "rules/network_document.h"
#include "rules/operating_state_names.h"
#include "rules/sent_document.h"
#include "rules/state_codes.h"
#include "rules/test_sale_document.h"
#include "rules/text_utils.h"
#include "sat/base64_field.h"
#include "sat/response_fields.h"

namespace {

// The network page sends this code when the device is not activated yet.
constexpr std::string_view kNotActivatedNetworkCode = "73519024";

// What a command prepared: go on to the operation, or end with a status.
struct Preparation {
    bool proceed = true;
    int status = kExitSuccess;
};

Preparation Proceed() {
    return {};
}
Preparation Stop(int status) {
    return {false, status};
}

class CommandRun {
public:
    CommandRun(const CliRequest& request, SatSession& session, std::ostream& out,
               std::ostream& usage)
        : request_(request), session_(session), out_(out), usage_(usage) {}

    // An option's value in Windows-1252 (arguments were checked to be UTF-8).
    std::string Text(const std::string& option, std::string_view fallback = {}) const {
        const auto value = request_.Value(option);
        return value ? Utf8ToCp1252(*value) : std::string(fallback);
    }

    int Show(std::string_view utf8Text) const {
        return session_.UserInterface().ShowMessageDialog(Utf8ToCp1252(utf8Text));
    }

    ShowMessage Messages() const {
        return [this](const std::string& text) {
            return session_.UserInterface().ShowMessageDialog(text);
        };
    }

    Preparation UsageError(const std::string& why) const {
        usage_ << "dravovexa-cli: " << why << "\n\n" << CliHelpText();
        return Stop(kExitUsage);
    }

    // The window's check of the default activation code: trimmed, then 8 to
    // 32 characters. The command line applies it when the code is given (as
    // the window does for an activated device), or always when required.
    bool TakeDefaultCode(bool required) const {
        const std::string code = TrimBlanks(Text("codigo"));
        if ((required || request_.Has("codigo")) && !IsAcceptableActivationCode(code)) {
            Show("Código de Ativação Padrão inválido !");
            return false;
        }
        session_.codigoDeAtivacao = code;
        return true;
    }

    // A document file's bytes, as they are.
    std::optional<std::string> ReadDocument(const std::string& path) const {
        std::error_code error;
        std::ifstream file;
        if (!std::filesystem::is_directory(path, error)) {
            file.open(path, std::ios::binary);
        }
        std::string contents;
        if (file.is_open()) {
            contents.assign(std::istreambuf_iterator<char>(file), {});
        }
        if (!file.is_open() || file.bad()) {
            Show("Não foi possível ler o arquivo " + path + "[e]");
            return std::nullopt;
        }
        return contents;
    }

    // A sale or cancellation document, refused (with the rule's message) when
    // it is not a regular file, is larger than a device takes, or the library
    // would not receive it whole.
    std::optional<std::string> ReadSentDocument(const std::string& path) const {
        return ReadSendableDocument(path, Utf8ToCp1252OrAsReceived(path), Messages());
    }

    void PrintResult(std::string_view cp1252Text) const {
        // In pieces: a log is tens of MB, and a converted copy of it would
        // only be thrown away.
        Cp1252ToUtf8Pieces(cp1252Text, [this](std::string_view piece) {
            out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        });
        out_ << '\n' << std::flush;
    }

    void PrintNormalisedResult() const { PrintResult(NormalizaRetorno(session_.LastResponse)); }

    // The device answered with fields, whatever their code says.
    int AnsweredStatus() const {
        return session_.LastCall().kind == SatAnswerKind::Fields ? kExitSuccess : kExitRefused;
    }

    const CliRequest& request_;
    SatSession& session_;
    std::ostream& out_;
    std::ostream& usage_;
};

int ResultStatus(bool result) {
    return result ? kExitSuccess : kExitRefused;
}

// A command: its checks before the library is needed, then its operation.
struct Command {
    std::function<Preparation(CommandRun&)> prepare;
    std::function<int(CommandRun&)> run;
};

void PrintStatusLabels(CommandRun& run) {
    const TSatStatusOperacional& s = run.session_.StatusOperacional;
    const std::string versao = run.session_.RunVersaoDLL();
    const std::array<std::pair<std::string_view, std::string>, 25> labels = {{
        {"Nível da bateria", s.NivelBateria},
        {"Nº de série", s.NSerie},
        {"Status do Vexa®", EstadoOperacaoName(s.EstadoOperacao)},
        {"Versão do SW Básico", s.VerSb},
        {"Versão Layout CFE", s.VerLayout},
        {"Memória Total", s.MtTotal},
        {"Memória Usada", s.MtUsada},
        {"Versão DLL Vexa®", versao},
        {"Tipo de Rede", s.TipoLan},
        {"MAC Address", s.LanMac},
        {"IP", s.LanIp},
        {"Mascara", s.LanMask},
        {"Gateway", s.LanGw},
        {"DNS1", s.LanDns1},
        {"DNS2", s.LanDns2},
        {"Status WAN", s.StatusLan},
        {"Nº da Sessão Atual", s.NumeroSessao},
        {"Data/Hora do Vexa®", FormataDataHora(s.DhAtual)},
        {"Data/Hora do Vexa® Última Transferência", FormataDataHora(s.DhCfe)},
        {"Data/Hora da Ultima Comunicação Vexa®", FormataDataHora(s.DhUltima)},
        {"Último CFE Emitido", s.UltimoCfe},
        {"Primeiro CFE na Memória de Trabalho", s.ListaInicial},
        {"Último CFE na Memória de Trabalho", s.ListaFinal},
        {"Data de Emissão do Certificado", FormataDataHora(s.CertEmissao)},
        {"Vencimento do Certificado", FormataDataHora(s.CertVencimento)},
    }};
    for (const auto& [label, value] : labels) {
        run.out_ << label << ": " << Cp1252ToUtf8(value) << '\n';
    }
    run.out_ << std::flush;
}

bool IsSessionNumberText(const std::string& text) {
    return !text.empty() && text.size() <= 6 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// The position of a state in the activation page's list, by its abbreviation.
std::optional<int> StateIndex(std::string abbreviation) {
    for (char& c : abbreviation) {
        c = Cp1252UpperCase(c);
    }
    const std::vector<std::string>& items = StateListItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].size() >= 2 && items[i].substr(items[i].size() - 2) == abbreviation) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// "192.168.0.10" -> its four octet texts; fewer parts leave the rest empty.
std::optional<OctetTexts> Octets(const std::string& dotted) {
    OctetTexts octets;
    std::size_t part = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = dotted.find('.', start);
        if (part >= octets.size()) {
            return std::nullopt;
        }
        octets[part++] = dotted.substr(start, dot == std::string::npos ? dot : dot - start);
        if (dot == std::string::npos) {
            return octets;
        }
        start = dot + 1;
    }
}

Preparation PrepareNetwork(CommandRun& run) {
    SatSession& session = run.session_;
    if (run.request_.Has("codigo")) {
        if (!run.TakeDefaultCode(false)) {
            return Stop(kExitRefused);
        }
    } else {
        session.codigoDeAtivacao = std::string(kNotActivatedNetworkCode);
    }

    NetworkFields fields;
    const bool fixed = run.request_.Has("ip");
    fields.rede_dhcp_opt = !fixed;
    fields.rede_manual_opt = fixed;
    fields.rede_dhcp_user = run.Text("usuario");
    fields.rede_dhcp_pass = run.Text("senha");
    const std::array<std::pair<const char*, OctetTexts*>, 5> groups = {{
        {"ip", &fields.rede_manual_ip},
        {"mascara", &fields.rede_manual_masc},
        {"gateway", &fields.rede_manual_gate},
        {"dns1", &fields.rede_manual_dns1},
        {"dns2", &fields.rede_manual_dns2},
    }};
    for (const auto& [option, octets] : groups) {
        if (!run.request_.Has(option)) {
            continue;
        }
        if (!fixed) {
            return run.UsageError(std::string("--") + option + " exige --ip");
        }
        const auto parsed = Octets(run.Text(option));
        if (!parsed) {
            return run.UsageError(std::string("--") + option + " deve ter a forma A.B.C.D");
        }
        *octets = *parsed;
    }

    const std::string proxy = run.Text("proxy", "0");
    if (proxy != "0" && proxy != "1" && proxy != "2") {
        return run.UsageError("--proxy deve ser 0, 1 ou 2");
    }
    fields.rede_proxy_opt = proxy[0] - '0';
    if (run.request_.Has("proxy-ip")) {
        const auto parsed = Octets(run.Text("proxy-ip"));
        if (!parsed) {
            return run.UsageError("--proxy-ip deve ter a forma A.B.C.D");
        }
        fields.rede_proxy_ip = *parsed;
    }
    fields.rede_proxy_port = run.Text("proxy-porta");
    fields.rede_proxy_user = run.Text("proxy-usuario");
    fields.rede_proxy_pass = run.Text("proxy-senha");

    TVexa_Rede values;
    if (!BuildNetworkDocument(fields, values, session.dadosConfiguracao, run.Messages())) {
        return Stop(kExitRefused);
    }
    return Proceed();
}

Preparation PrepareActivation(CommandRun& run) {
    ActivationFields fields;
    fields.ativar_cnpj = run.Text("cnpj");
    fields.ativar_codigo = run.Text("codigo");
    fields.ativar_codigo_conf = run.Text("confirmacao", fields.ativar_codigo);
    const auto state = StateIndex(run.Text("uf", "SP"));
    if (!state) {
        return run.UsageError("UF desconhecida: " + run.request_.Value("uf").value_or(""));
    }
    fields.ativar_certificado_uf = *state;

    ActivationParameters activation;
    CodeChangeParameters codeChange;
    if (!ValidateActivationFields(fields, activation, codeChange, run.Messages())) {
        return Stop(kExitRefused);
    }
    SatSession& session = run.session_;
    session.cnpjContribuinte = activation.cnpjContribuinte;
    session.codigoDeAtivacao = activation.codigoDeAtivacao;
    session.cUF = activation.cUF;
    session.subComando = activation.subComando;
    session.codigoAtual = codeChange.codigoAtual;
    session.novoCodigo = codeChange.novoCodigo;
    session.confNovoCodigo = codeChange.confNovoCodigo;
    return Proceed();
}

Preparation PrepareAssociation(CommandRun& run) {
    if (run.request_.Has("assinatura") == run.request_.Has("assinatura-arquivo")) {
        return run.UsageError("dê --assinatura ou --assinatura-arquivo");
    }
    if (!run.TakeDefaultCode(false)) {
        return Stop(kExitRefused);
    }
    std::string signature = run.Text("assinatura");
    if (const auto path = run.request_.Value("assinatura-arquivo")) {
        const auto contents = run.ReadDocument(*path);
        if (!contents) {
            return Stop(kExitRefused);
        }
        signature = *contents;
    }
    SignatureFields fields;
    fields.associar_cnpj = run.Text("cnpj");
    fields.associar_sh = run.Text("cnpj-sh");
    fields.associar_assinatura = SplitLines(signature);
    SignatureParameters parameters;
    if (!ValidateSignatureFields(fields, parameters, run.Messages())) {
        return Stop(kExitRefused);
    }
    run.session_.CNPJvalue = parameters.CNPJvalue;
    run.session_.assinaturaCNPJs = parameters.assinaturaCNPJs;
    return Proceed();
}

Preparation PrepareCodeChange(CommandRun& run) {
    if (!run.TakeDefaultCode(false)) {
        return Stop(kExitRefused);
    }
    CodeChangeFields fields;
    fields.manutencao_cod_ativacao = run.Text("atual");
    fields.manutencao_cod_ativacao_novo = run.Text("novo");
    fields.manutencao_cod_ativacao_novo_conf =
        run.Text("confirmacao", fields.manutencao_cod_ativacao_novo);
    CodeChangeParameters parameters;
    if (!ValidateCodeChangeFields(fields, parameters, run.Messages())) {
        return Stop(kExitRefused);
    }
    run.session_.codigoAtual = parameters.codigoAtual;
    run.session_.novoCodigo = parameters.novoCodigo;
    run.session_.confNovoCodigo = parameters.confNovoCodigo;
    return Proceed();
}

Preparation DefaultCodeWhenGiven(CommandRun& run) {
    return run.TakeDefaultCode(false) ? Proceed() : Stop(kExitRefused);
}

Preparation NothingToPrepare(CommandRun&) {
    return Proceed();
}

// logs --saida: the device's bytes go to the file in pieces as the answer is
// decoded (its bytes, its line ends), and standard output gets the answer's
// other fields; the log is never held whole beside the answer.
int WriteLogToFile(CommandRun& run, const std::string& path) {
    std::ofstream file;
    bool opened = false;
    run.session_.payloadSink = [&](std::string_view piece) {
        if (!opened) {
            file.open(path, std::ios::binary | std::ios::trunc);
            opened = true;
        }
        file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    };
    const bool result = run.session_.RunExtrairLogs();
    run.session_.payloadSink = nullptr;
    run.PrintResult(run.session_.LastResponse);
    if (!result) {
        if (opened) {
            file.close();
            std::error_code ignored;
            std::filesystem::remove(path, ignored); // not the log of a successful extraction
        }
        return kExitRefused;
    }
    if (!opened) {
        file.open(path, std::ios::binary | std::ios::trunc); // an empty log
    }
    file.close();
    if (!file) {
        run.Show("Não foi possível gravar o arquivo " + path + "[e]");
        return kExitRefused;
    }
    return kExitSuccess;
}

std::optional<Command> FindCommand(const std::string& name) {
    if (name == "consultar") {
        return Command{NothingToPrepare, [](CommandRun& run) {
                           const bool result = run.session_.RunConsultarSAT();
                           run.PrintNormalisedResult();
                           return ResultStatus(result);
                       }};
    }
    if (name == "status") {
        return Command{[](CommandRun& run) {
                           return run.TakeDefaultCode(true) ? Proceed() : Stop(kExitRefused);
                       },
                       [](CommandRun& run) {
                           const bool result = run.session_.RunConsultarStatusOperacional();
                           run.PrintNormalisedResult();
                           if (result) {
                               PrintStatusLabels(run);
                           }
                           return ResultStatus(result);
                       }};
    }
    if (name == "sessao") {
        return Command{[](CommandRun& run) {
                           if (!IsSessionNumberText(run.request_.positionals[0])) {
                               return run.UsageError("o número de sessão tem de 1 a 6 dígitos");
                           }
                           return DefaultCodeWhenGiven(run);
                       },
                       [](CommandRun& run) {
                           run.session_.RunConsultarNumeroSessao(
                               TextToInt(run.request_.positionals[0]));
                           run.PrintNormalisedResult();
                           return run.AnsweredStatus();
                       }};
    }
    if (name == "logs") {
        return Command{DefaultCodeWhenGiven, [](CommandRun& run) {
                           const auto path = run.request_.Value("saida");
                           if (!path) {
                               const bool result = run.session_.RunExtrairLogs();
                               run.PrintResult(run.session_.LastResponse);
                               return ResultStatus(result);
                           }
                           return WriteLogToFile(run, *path);
                       }};
    }
    if (name == "fim-a-fim") {
        return Command{DefaultCodeWhenGiven, [](CommandRun& run) {
                           std::vector<std::string> lines;
                           BuildTestSaleDocument(lines);
                           run.session_.dadosVenda = LinesText(lines);
                           const bool result = run.session_.RunTesteFimAFim();
                           run.session_.dadosVenda.clear();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "venda") {
        return Command{[](CommandRun& run) {
                           if (!run.TakeDefaultCode(false)) {
                               return Stop(kExitRefused);
                           }
                           const auto document = run.ReadSentDocument(run.request_.positionals[0]);
                           if (!document) {
                               return Stop(kExitRefused);
                           }
                           run.session_.dadosVenda = *document;
                           return Proceed();
                       },
                       [](CommandRun& run) {
                           const bool result = run.session_.RunEnviarDadosVenda();
                           run.session_.dadosVenda.clear();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "cancelar") {
        return Command{[](CommandRun& run) {
                           if (!run.request_.Has("chave")) {
                               return run.UsageError("cancelar exige --chave");
                           }
                           if (!run.TakeDefaultCode(false)) {
                               return Stop(kExitRefused);
                           }
                           const auto document = run.ReadSentDocument(run.request_.positionals[0]);
                           if (!document) {
                               return Stop(kExitRefused);
                           }
                           const std::string chave = run.Text("chave");
                           if (IsBlank(chave)) {
                               run.Show("Chave de acesso do CF-e-SAT não determinado !");
                               return Stop(kExitRefused);
                           }
                           run.session_.chave = chave; // as typed, blanks included
                           run.session_.dadosCancelamento = *document;
                           return Proceed();
                       },
                       [](CommandRun& run) {
                           const bool result = run.session_.RunCancelarUltimaVenda();
                           run.session_.dadosCancelamento.clear();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "ativar") {
        return Command{PrepareActivation, [](CommandRun& run) {
                           const bool result = run.session_.RunAtivarSAT();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "associar") {
        return Command{PrepareAssociation, [](CommandRun& run) {
                           const bool result = run.session_.RunAssociarAssinatura();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "rede") {
        return Command{PrepareNetwork, [](CommandRun& run) {
                           const bool result = run.session_.RunConfigurarInterfaceDeRede();
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "bloquear") {
        return Command{DefaultCodeWhenGiven, [](CommandRun& run) {
                           const bool result = run.session_.RunBloquearSAT();
                           run.PrintNormalisedResult();
                           return ResultStatus(result);
                       }};
    }
    if (name == "desbloquear") {
        return Command{DefaultCodeWhenGiven, [](CommandRun& run) {
                           run.session_.RunDesbloquearSAT();
                           run.PrintNormalisedResult();
                           return run.AnsweredStatus();
                       }};
    }
    if (name == "atualizar") {
        return Command{DefaultCodeWhenGiven, [](CommandRun& run) {
                           run.session_.RunAtualizarSoftwareSAT();
                           run.PrintNormalisedResult();
                           return run.AnsweredStatus();
                       }};
    }
    if (name == "trocar-codigo") {
        return Command{PrepareCodeChange, [](CommandRun& run) {
                           const bool result = run.session_.RunTrocarCodigoDeAtivacao(
                               run.request_.Flag("emergencia") ? 1 : 0);
                           run.PrintResult(run.session_.LastResponse);
                           return ResultStatus(result);
                       }};
    }
    if (name == "versao") {
        return Command{NothingToPrepare, [](CommandRun& run) {
                           const std::string versao = run.session_.RunVersaoDLL();
                           run.PrintResult(versao);
                           const bool answered =
                               run.session_.LastCall().kind == SatAnswerKind::Text &&
                               !versao.empty();
                           return answered ? kExitSuccess : kExitRefused;
                       }};
    }
    return std::nullopt;
}

} // namespace

int RunCliCommand(const CliRequest& request, SatSession& session, std::ostream& out,
                  std::ostream& usage, const std::function<bool()>& bindLibrary) {
    if (IsMonitoringRequest(request)) {
        return RunMonitoringCommand(request, session, out, usage, bindLibrary);
    }
    const std::optional<Command> command = FindCommand(request.command);
    CommandRun run(request, session, out, usage);
    if (!command) {
        run.UsageError("comando desconhecido: " + request.command);
        return kExitUsage;
    }
    const Preparation preparation = command->prepare(run);
    if (!preparation.proceed) {
        return preparation.status;
    }
    if (!bindLibrary()) {
        return kExitNoLibrary;
    }
    return command->run(run);
}
