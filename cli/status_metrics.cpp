#include "cli/status_metrics.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Labels = std::vector<std::pair<std::string_view, std::string>>;

std::string LabelValue(std::string_view value) {
    std::string escaped;
    for (const char c : value) {
        if (c == '\\' || c == '"') {
            escaped += '\\';
            escaped += c;
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

class MetricsText {
public:
    explicit MetricsText(std::string serial) : serial_(std::move(serial)) {}

    // One gauge with its help text and one sample (none when value is empty).
    void Gauge(std::string_view name, std::string_view help,
               const std::optional<std::string>& value, const Labels& labels = {}) {
        if (!value) {
            return;
        }
        Header(name, help);
        Sample(name, *value, labels);
    }

    void Header(std::string_view name, std::string_view help) {
        text_ += "# HELP dravovexa_sat_";
        text_ += name;
        text_ += ' ';
        text_ += help;
        text_ += "\n# TYPE dravovexa_sat_";
        text_ += name;
        text_ += " gauge\n";
    }

    void Sample(std::string_view name, std::string_view value, const Labels& extra = {}) {
        text_ += "dravovexa_sat_";
        text_ += name;
        Labels labels;
        if (!serial_.empty()) {
            labels.emplace_back("serie", serial_);
        }
        labels.insert(labels.end(), extra.begin(), extra.end());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            text_ += i == 0 ? "{" : ",";
            text_ += labels[i].first;
            text_ += "=\"";
            text_ += LabelValue(labels[i].second);
            text_ += '"';
        }
        if (!labels.empty()) {
            text_ += '}';
        }
        text_ += ' ';
        text_ += value;
        text_ += '\n';
    }

    const std::string& Text() const { return text_; }

private:
    std::string serial_;
    std::string text_;
};

std::optional<std::string> Whole(const std::optional<std::int64_t>& value) {
    return value ? std::optional(std::to_string(*value)) : std::nullopt;
}

std::optional<std::string> Decimal(const std::optional<double>& value) {
    return value ? std::optional(DecimalText(*value)) : std::nullopt;
}

std::optional<std::string> Moment(const std::optional<DeviceTime>& time) {
    return time ? std::optional(std::to_string(time->epochSeconds)) : std::nullopt;
}

std::optional<std::string> Seconds(const std::optional<double>& days) {
    return days ? std::optional(DecimalText(*days * 86400.0)) : std::nullopt;
}

std::optional<std::string> Flag(bool value) {
    return std::string(value ? "1" : "0");
}

} // namespace

std::string FormatStatusMetrics(const StatusReading& r) {
    const bool answered = r.outcome == StatusOutcome::Answered;
    MetricsText m(answered ? r.nserie : std::string());
    m.Gauge("up",
            "1 quando o SAT respondeu à consulta de status operacional (10000), 0 quando "
            "não respondeu ou recusou.",
            Flag(answered));
    if (!r.codigo.empty() && r.codigo.find_first_not_of("0123456789") == std::string::npos) {
        m.Gauge("return_code", "Código de retorno (EEEEE) da consulta de status operacional.",
                r.codigo);
    }
    if (!answered) {
        return m.Text();
    }
    m.Gauge("info", "Identificação do SAT: versões e rede.", std::string("1"),
            {{"versao_sb", r.verSb},
             {"versao_layout", r.verLayout},
             {"tipo_lan", r.tipoLan},
             {"lan_ip", r.lanIp},
             {"lan_mac", r.lanMac}});
    if (r.estadoOperacao) {
        m.Gauge("operating_state",
                "Estado de operação (ESTADO_OPERACAO): 0 desbloqueado, 1 bloqueio SEFAZ, 2 "
                "bloqueio contribuinte, 3 bloqueio autônomo, 4 bloqueio para desativação.",
                std::to_string(*r.estadoOperacao),
                {{"nome", EstadoOperacaoNameUtf8(*r.estadoOperacao).value_or("")}});
    }
    if (!r.statusLan.empty()) {
        m.Gauge("lan_connected", "1 quando STATUS_LAN é CONECTADO.",
                Flag(r.statusLan == "CONECTADO"));
    }
    if (!r.nivelBateria.empty()) {
        m.Header("battery_level", "Nível da bateria (NIVEL_BATERIA): 1 no nível atual.");
        for (const std::string_view level : {"ALTO", "MEDIO", "BAIXO"}) {
            m.Sample("battery_level", r.nivelBateria == level ? "1" : "0",
                     {{"nivel", std::string(level)}});
        }
    }
    m.Gauge("memory_total_bytes", "Memória de trabalho total (MT_TOTAL), em bytes.",
            Whole(r.mtTotal));
    m.Gauge("memory_used_bytes", "Memória de trabalho usada (MT_USADA), em bytes.",
            Whole(r.mtUsada));
    m.Gauge("memory_used_ratio", "Fração da memória de trabalho usada (MT_USADA / MT_TOTAL).",
            Decimal(r.fracaoMemoriaUsada));
    m.Gauge("cfe_awaiting_transmission",
            "CF-e na memória de trabalho aguardando transmissão (LISTA_INICIAL a LISTA_FINAL).",
            Whole(r.cfeAguardando));
    m.Gauge("clock_timestamp_seconds", "Data e hora do SAT (DH_ATUAL), segundos desde 1970 UTC.",
            Moment(r.dhAtual));
    m.Gauge("last_transmission_timestamp_seconds",
            "Última transmissão de CF-e (DH_CFE), segundos desde 1970 UTC.", Moment(r.dhCfe));
    m.Gauge("last_sefaz_communication_timestamp_seconds",
            "Última comunicação com a SEFAZ (DH_ULTIMA), segundos desde 1970 UTC.",
            Moment(r.dhUltima));
    m.Gauge("sefaz_communication_age_seconds",
            "Tempo sem comunicação com a SEFAZ pelo relógio do SAT (DH_ATUAL - DH_ULTIMA); o SAT "
            "se bloqueia após 10 dias.",
            Seconds(r.diasSemSefaz));
    m.Gauge("certificate_issued_timestamp_seconds",
            "Emissão do certificado (CERT_EMISSAO, 0h), segundos desde 1970 UTC.",
            Moment(r.certEmissao));
    m.Gauge("certificate_expiry_timestamp_seconds",
            "Vencimento do certificado (CERT_VENCIMENTO, 0h), segundos desde 1970 UTC.",
            Moment(r.certVencimento));
    m.Gauge("certificate_remaining_seconds",
            "Tempo até o vencimento do certificado pelo relógio do SAT (CERT_VENCIMENTO - "
            "DH_ATUAL).",
            Seconds(r.diasAteVencimento));
    return m.Text();
}
