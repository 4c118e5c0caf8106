#include "cli/status_json.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

// Members written in order, joined by commas.
class JsonObject {
public:
    void Raw(std::string_view key, const std::string& json) {
        text_ += text_.empty() ? "{" : ",";
        text_ += JsonString(key);
        text_ += ':';
        text_ += json;
    }
    // An empty text is written as null: the device sent nothing there.
    void Text(std::string_view key, const std::string& value) {
        Raw(key, value.empty() ? "null" : JsonString(value));
    }
    void Integer(std::string_view key, const std::optional<std::int64_t>& value) {
        Raw(key, value ? std::to_string(*value) : "null");
    }
    void Decimal(std::string_view key, const std::optional<double>& value) {
        Raw(key, value ? DecimalText(*value) : "null");
    }
    void Time(std::string_view key, const std::optional<DeviceTime>& value) {
        Raw(key, value ? JsonString(value->Iso8601()) : "null");
    }
    std::string Close() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
    std::string text_;
};

std::string StateJson(const std::optional<std::int32_t>& estado) {
    if (!estado) {
        return "null";
    }
    JsonObject state;
    state.Integer("numero", *estado);
    const auto name = EstadoOperacaoNameUtf8(*estado);
    state.Text("nome", name.value_or(""));
    return state.Close();
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

std::string FormatStatusJson(const StatusReading& r) {
    JsonObject json;
    json.Raw("sucesso", r.outcome == StatusOutcome::Answered ? "true" : "false");
    json.Integer("numeroSessao", r.numeroSessao);
    json.Text("EEEEE", r.codigo);
    json.Text("mensagem", r.mensagem);
    json.Text("cod", r.cod);
    json.Text("mensagemSEFAZ", r.mensagemSefaz);
    if (r.outcome != StatusOutcome::Answered) {
        return json.Close();
    }
    json.Text("NSERIE", r.nserie);
    json.Text("TIPO_LAN", r.tipoLan);
    json.Text("LAN_IP", r.lanIp);
    json.Text("LAN_MAC", r.lanMac);
    json.Text("LAN_MASK", r.lanMask);
    json.Text("LAN_GW", r.lanGw);
    json.Text("LAN_DNS_1", r.lanDns1);
    json.Text("LAN_DNS_2", r.lanDns2);
    json.Text("STATUS_LAN", r.statusLan);
    json.Text("NIVEL_BATERIA", r.nivelBateria);
    json.Integer("MT_TOTAL", r.mtTotal);
    json.Integer("MT_USADA", r.mtUsada);
    json.Time("DH_ATUAL", r.dhAtual);
    json.Text("VER_SB", r.verSb);
    json.Text("VER_LAYOUT", r.verLayout);
    json.Text("ULTIMO_CF_E_SAT", r.ultimoCfe);
    json.Text("LISTA_INICIAL", r.listaInicial);
    json.Text("LISTA_FINAL", r.listaFinal);
    json.Time("DH_CFE", r.dhCfe);
    json.Time("DH_ULTIMA", r.dhUltima);
    json.Time("CERT_EMISSAO", r.certEmissao);
    json.Time("CERT_VENCIMENTO", r.certVencimento);
    json.Raw("ESTADO_OPERACAO", StateJson(r.estadoOperacao));
    json.Decimal("dias_sem_comunicacao_sefaz", r.diasSemSefaz);
    json.Decimal("dias_ate_vencimento_certificado", r.diasAteVencimento);
    json.Integer("cfe_aguardando_transmissao", r.cfeAguardando);
    json.Decimal("fracao_memoria_usada", r.fracaoMemoriaUsada);
    return json.Close();
}
