#include "cli/status_check.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Worse first: a known problem outweighs a value that could not be judged.
int Severity(CheckState state) {
    switch (state) {
    case CheckState::Critical:
        return 3;
    case CheckState::Warning:
        return 2;
    case CheckState::Unknown:
        return 1;
    case CheckState::Ok:
        break;
    }
    return 0;
}

const char* StateWord(CheckState state) {
    switch (state) {
    case CheckState::Ok:
        return "OK";
    case CheckState::Warning:
        return "AVISO";
    case CheckState::Critical:
        return "CRÍTICO";
    case CheckState::Unknown:
        break;
    }
    return "DESCONHECIDO";
}

// "9,0": one decimal, with the Portuguese decimal comma.
std::string Shown(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string shown = text;
    for (char& c : shown) {
        if (c == '.') {
            c = ',';
        }
    }
    return shown == "-0,0" ? "0,0" : shown;
}

std::string ShownLimit(double value) {
    return value == std::floor(value) ? std::to_string(static_cast<long long>(value))
                                      : Shown(value);
}

class Verdict {
public:
    void Add(CheckState state, std::string problem) {
        if (Severity(state) > Severity(state_)) {
            state_ = state;
        }
        problems_.push_back(std::move(problem));
    }

    // A value above (or, with below, under) its thresholds.
    void Judge(double value, double warning, double critical, bool below, const std::string& what) {
        const auto passes = [&](double limit) { return below ? value < limit : value > limit; };
        const char* side = below ? "abaixo de " : "acima de ";
        if (passes(critical)) {
            Add(CheckState::Critical, what + " (crítico: " + side + ShownLimit(critical) + ")");
        } else if (passes(warning)) {
            Add(CheckState::Warning, what + " (aviso: " + side + ShownLimit(warning) + ")");
        }
    }

    CheckState State() const { return state_; }
    std::string Problems() const {
        std::string text;
        for (const std::string& problem : problems_) {
            text += text.empty() ? "" : "; ";
            text += problem;
        }
        return text;
    }

private:
    CheckState state_ = CheckState::Ok;
    std::vector<std::string> problems_;
};

// One performance value: 'label'=value[unit];warn;crit;min;max
std::string Perf(const char* label, double value, const char* unit, const std::string& warning,
                 const std::string& critical, const std::string& min, const std::string& max) {
    return std::string(label) + "=" + DecimalText(value) + unit + ";" + warning + ";" + critical +
           ";" + min + ";" + max;
}

std::string AddPerf(const std::string& perf, const std::string& more) {
    return perf.empty() ? more : perf + " " + more;
}

} // namespace

const std::vector<ThresholdOption>& ThresholdOptions() {
    static const std::vector<ThresholdOption> options = {
        {"sefaz-aviso", &CheckThresholds::sefazDaysWarning},
        {"sefaz-critico", &CheckThresholds::sefazDaysCritical},
        {"certificado-aviso", &CheckThresholds::certificateDaysWarning},
        {"certificado-critico", &CheckThresholds::certificateDaysCritical},
        {"memoria-aviso", &CheckThresholds::memoryPercentWarning},
        {"memoria-critico", &CheckThresholds::memoryPercentCritical},
        {"pendentes-aviso", &CheckThresholds::waitingWarning},
        {"pendentes-critico", &CheckThresholds::waitingCritical},
    };
    return options;
}

std::optional<double> ParseThresholdValue(const std::string& text) {
    std::string number = text;
    for (char& c : number) {
        if (c == ',') {
            c = '.';
        }
    }
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        number.front() == '.' || number.back() == '.') {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

CheckResult UnknownCheck(const std::string& why) {
    return {CheckState::Unknown, std::string("SAT DESCONHECIDO - ") + why};
}

CheckResult JudgeStatus(const StatusReading& r, const CheckThresholds& t) {
    if (r.outcome == StatusOutcome::NoAnswer) {
        return UnknownCheck(r.mensagem);
    }
    if (r.outcome == StatusOutcome::Refused) {
        return UnknownCheck(r.codigo + " " + r.mensagem);
    }

    Verdict verdict;
    std::string summary = "série " + (r.nserie.empty() ? std::string("?") : r.nserie);
    std::string perf;

    if (!r.estadoOperacao) {
        verdict.Add(CheckState::Unknown, "estado de operação não informado");
    } else {
        const auto name = EstadoOperacaoNameUtf8(*r.estadoOperacao);
        const std::string shown = name.value_or("estado " + std::to_string(*r.estadoOperacao));
        summary += ", " + shown;
        if (!name) {
            verdict.Add(CheckState::Unknown, "estado de operação desconhecido (" +
                                                 std::to_string(*r.estadoOperacao) + ")");
        } else if (*r.estadoOperacao != 0) {
            verdict.Add(CheckState::Critical, shown);
        }
        perf = AddPerf(perf, Perf("estado_operacao", *r.estadoOperacao, "", "", "0", "0", "4"));
    }

    if (!r.diasSemSefaz) {
        verdict.Add(CheckState::Unknown, "data da última comunicação com a SEFAZ não informada");
    } else {
        const double days = *r.diasSemSefaz;
        summary += ", " + Shown(days) + " dias sem SEFAZ";
        verdict.Judge(days, t.sefazDaysWarning, t.sefazDaysCritical, false,
                      Shown(days) + " dias sem comunicação com a SEFAZ");
        perf = AddPerf(perf, Perf("dias_sem_sefaz", days, "", DecimalText(t.sefazDaysWarning),
                                  DecimalText(t.sefazDaysCritical), "0", ""));
    }

    if (r.diasAteVencimento) {
        const double days = *r.diasAteVencimento;
        const std::string what = days < 0 ? "certificado vencido há " + Shown(-days) + " dias"
                                          : "certificado vence em " + Shown(days) + " dias";
        summary += ", " + what;
        verdict.Judge(days, t.certificateDaysWarning, t.certificateDaysCritical, true, what);
        perf = AddPerf(perf, Perf("dias_certificado", days, "",
                                  DecimalText(t.certificateDaysWarning) + ":",
                                  DecimalText(t.certificateDaysCritical) + ":", "", ""));
    }

    if (r.fracaoMemoriaUsada) {
        const double percent = *r.fracaoMemoriaUsada * 100.0;
        const std::string what = "memória usada " + Shown(percent) + " %";
        summary += ", " + what;
        verdict.Judge(percent, t.memoryPercentWarning, t.memoryPercentCritical, false, what);
        perf =
            AddPerf(perf, Perf("memoria_usada", percent, "%", DecimalText(t.memoryPercentWarning),
                               DecimalText(t.memoryPercentCritical), "0", "100"));
    }

    if (r.cfeAguardando) {
        const auto waiting = static_cast<double>(*r.cfeAguardando);
        const std::string what = std::to_string(*r.cfeAguardando) + " CF-e aguardando transmissão";
        summary += ", " + what;
        verdict.Judge(waiting, t.waitingWarning, t.waitingCritical, false, what);
        perf = AddPerf(perf, Perf("cfe_aguardando", waiting, "", DecimalText(t.waitingWarning),
                                  DecimalText(t.waitingCritical), "0", ""));
    }

    if (!r.nivelBateria.empty()) {
        summary += ", bateria " + r.nivelBateria;
        if (r.nivelBateria == "BAIXO") {
            verdict.Add(CheckState::Warning, "bateria BAIXO");
        }
    }

    const std::string problems = verdict.Problems();
    std::string line = std::string("SAT ") + StateWord(verdict.State()) + " - ";
    if (!problems.empty()) {
        line += problems + " - ";
    }
    line += summary;
    if (!perf.empty()) {
        line += " | " + perf;
    }
    return {verdict.State(), line};
}
