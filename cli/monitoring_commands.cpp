#include "cli/monitoring_commands.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>

#include "cli/status_check.h"
#include "cli/status_json.h"
#include "cli/status_metrics.h"
#include "cli/status_reading.h"
#include "rules/cp1252.h"
#include "rules/field_rules.h"
#include "rules/text_utils.h"
#include "sat/platform/atomic_file.h"
#include "sat/response_fields.h"

namespace {

enum class Format { Json, Prometheus, Check };

// The activation code (Windows-1252, trimmed) from --codigo or the first line
// of --codigo-arquivo; on failure why, in UTF-8.
struct CodeSource {
    std::string code;
    std::string failure;
};

CodeSource ReadActivationCode(const CliRequest& request) {
    std::string utf8;
    if (const auto path = request.Value("codigo-arquivo")) {
        std::error_code error;
        std::ifstream file;
        if (!std::filesystem::is_directory(*path, error)) {
            file.open(*path, std::ios::binary);
        }
        if (!file.is_open()) {
            return {{}, "Não foi possível ler o arquivo " + *path};
        }
        std::getline(file, utf8);
        if (!utf8.empty() && utf8.back() == '\r') {
            utf8.pop_back();
        }
    } else {
        utf8 = request.Value("codigo").value_or("");
    }
    const std::string code = TrimBlanks(Utf8ToCp1252(utf8));
    if (!IsAcceptableActivationCode(code)) {
        return {{}, "Código de Ativação Padrão inválido !"};
    }
    return {code, {}};
}

// What the library left when the status call gave no fields.
std::string NoAnswerMessage(const SatSession& session) {
    if (!session.LastResponse.empty()) {
        return Cp1252ToUtf8(session.LastResponse);
    }
    if (!session.LastFailure().empty()) {
        return session.LastFailure();
    }
    return "a consulta não foi enviada ao SAT";
}

std::string LibraryFailureMessage(const SatSession& session) {
    if (!session.LastLoadError().empty()) {
        return "não foi possível carregar a biblioteca Vexa®: " + session.LastLoadError();
    }
    return "Biblioteca Vexa® não localizada !";
}

// Exit status of "status" in a machine format, as for the text form.
int StatusExit(const StatusReading& reading, bool libraryLoaded) {
    if (!libraryLoaded) {
        return kExitNoLibrary;
    }
    return reading.outcome == StatusOutcome::Answered ? kExitSuccess : kExitRefused;
}

class MonitoringRun {
public:
    MonitoringRun(const CliRequest& request, SatSession& session, std::ostream& out,
                  std::ostream& usage)
        : request_(request), session_(session), out_(out), usage_(usage) {}

    int Run(const std::function<bool()>& bindLibrary) {
        const std::string chosen = request_.Value("formato").value_or("texto");
        const std::optional<Format> format = ChosenFormat(chosen);
        if (!format) {
            return UsageError(chosen == "texto"
                                  ? "--saida e --codigo-arquivo exigem --formato json ou prometheus"
                                  : "--formato deve ser texto, json ou prometheus");
        }
        format_ = *format;
        if (format_ == Format::Check) {
            for (const ThresholdOption& option : ThresholdOptions()) {
                const auto text = request_.Value(option.name);
                if (!text) {
                    continue;
                }
                const auto value = ParseThresholdValue(*text);
                if (!value) {
                    return Finish(UnknownCheck("valor inválido para --" + std::string(option.name) +
                                               ": " + *text));
                }
                thresholds_.*option.value = *value;
            }
        }
        if (request_.Has("codigo") && request_.Has("codigo-arquivo")) {
            return UsageError("dê --codigo ou --codigo-arquivo, não os dois");
        }
        const CodeSource code = ReadActivationCode(request_);
        if (!code.failure.empty()) {
            session_.UserInterface().ShowMessageDialog(Utf8ToCp1252(code.failure) + "[e]");
            return Finish(NoAnswerReading(code.failure), kExitRefused);
        }
        session_.codigoDeAtivacao = code.code;

        if (!bindLibrary()) {
            return Finish(NoAnswerReading(LibraryFailureMessage(session_)), kExitNoLibrary);
        }
        session_.RunConsultarStatusOperacional();
        // The answer's fields as the operation left them, "|"-separated again
        // (the library's own text is gone once the operation is over).
        const std::string answer = Cp1252ToUtf8(NormalizaRetorno(session_.LastResponse));
        const StatusReading reading = session_.LastCall().kind == SatAnswerKind::Fields
                                          ? ReadStatusAnswer(answer, session_.StatusOperacional)
                                          : NoAnswerReading(NoAnswerMessage(session_));
        return Finish(reading, StatusExit(reading, true));
    }

private:
    std::optional<Format> ChosenFormat(const std::string& format) const {
        if (request_.command == "verificar") {
            return Format::Check;
        }
        if (format == "json") {
            return Format::Json;
        }
        if (format == "prometheus") {
            return Format::Prometheus;
        }
        return std::nullopt;
    }

    int UsageError(const std::string& why) const {
        if (format_ == Format::Check) {
            // The monitor shows standard output: the check's own status line.
            usage_ << "dravovexa-cli: " << why << '\n';
            return Finish(UnknownCheck(why));
        }
        usage_ << "dravovexa-cli: " << why << "\n\n" << CliHelpText();
        return kExitUsage;
    }

    int Finish(const CheckResult& result) const {
        out_ << result.line << '\n' << std::flush;
        return static_cast<int>(result.state);
    }

    // Writes the reading in the run's format; status is the exit status of
    // the machine formats.
    int Finish(const StatusReading& reading, int status) const {
        if (format_ == Format::Check) {
            return Finish(JudgeStatus(reading, thresholds_));
        }
        const std::string text = format_ == Format::Json ? FormatStatusJson(reading) + "\n"
                                                         : FormatStatusMetrics(reading);
        const auto path = request_.Value("saida");
        if (!path) {
            out_ << text << std::flush;
            return status;
        }
        // node_exporter may read the file at any moment: it must never see
        // half of it.
        const platform::FileWriteResult written = platform::ReplaceFileAtomically(*path, text);
        if (!written.ok) {
            session_.UserInterface().ShowMessageDialog(
                Utf8ToCp1252("Não foi possível gravar o arquivo " + *path + ": ") + written.error +
                "[e]");
            return status == kExitSuccess ? kExitRefused : status;
        }
        return status;
    }

    const CliRequest& request_;
    SatSession& session_;
    std::ostream& out_;
    std::ostream& usage_;
    Format format_ = Format::Json;
    CheckThresholds thresholds_;
};

} // namespace

bool IsMonitoringRequest(const CliRequest& request) {
    if (request.command == "verificar") {
        return true;
    }
    if (request.command != "status") {
        return false;
    }
    return request.Value("formato").value_or("texto") != "texto" || request.Has("saida") ||
           request.Has("codigo-arquivo");
}

int RunMonitoringCommand(const CliRequest& request, SatSession& session, std::ostream& out,
                         std::ostream& usage, const std::function<bool()>& bindLibrary) {
    return MonitoringRun(request, session, out, usage).Run(bindLibrary);
}
