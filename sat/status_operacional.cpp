#include "sat/status_operacional.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>

#include "rules/cp1252.h"
#include "rules/operating_state_names.h"
#include "sat/response_fields.h"

namespace {

using TextMember = std::string TSatStatusOperacional::*;

constexpr std::array<TextMember, kStatusOperacionalTexts> kTextMembers = {
    &TSatStatusOperacional::NumeroSessao,   &TSatStatusOperacional::CodigoRetorno,
    &TSatStatusOperacional::Mensagem,       &TSatStatusOperacional::CodigoSefaz,
    &TSatStatusOperacional::MensagemSefaz,  &TSatStatusOperacional::NSerie,
    &TSatStatusOperacional::TipoLan,        &TSatStatusOperacional::LanIp,
    &TSatStatusOperacional::LanMac,         &TSatStatusOperacional::LanMask,
    &TSatStatusOperacional::LanGw,          &TSatStatusOperacional::LanDns1,
    &TSatStatusOperacional::LanDns2,        &TSatStatusOperacional::StatusLan,
    &TSatStatusOperacional::NivelBateria,   &TSatStatusOperacional::MtTotal,
    &TSatStatusOperacional::MtUsada,        &TSatStatusOperacional::DhAtual,
    &TSatStatusOperacional::VerSb,          &TSatStatusOperacional::VerLayout,
    &TSatStatusOperacional::UltimoCfe,      &TSatStatusOperacional::ListaInicial,
    &TSatStatusOperacional::ListaFinal,     &TSatStatusOperacional::DhCfe,
    &TSatStatusOperacional::DhUltima,       &TSatStatusOperacional::CertEmissao,
    &TSatStatusOperacional::CertVencimento,
};

TextMember TextMemberAt(std::size_t k) {
    if (k < 1 || k > kTextMembers.size()) {
        throw std::out_of_range("TSatStatusOperacional has no text field " + std::to_string(k));
    }
    return kTextMembers[k - 1];
}

} // namespace

std::string& StatusOperacionalText(TSatStatusOperacional& record, std::size_t k) {
    return record.*TextMemberAt(k);
}

const std::string& StatusOperacionalText(const TSatStatusOperacional& record, std::size_t k) {
    return record.*TextMemberAt(k);
}

std::optional<std::int32_t> ReadEstadoOperacao(std::string_view field) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view number = field.substr(first);
    // from_chars takes a minus sign but not a plus sign.
    if (number.starts_with('+')) {
        number.remove_prefix(1);
        if (number.starts_with('-') || number.starts_with('+')) {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc() && end == number.data() + number.size()) {
        return value;
    }
    return EstadoOperacaoFromName(Utf8ToCp1252(field));
}

std::int32_t ParseEstadoOperacao(std::string_view field) {
    return ReadEstadoOperacao(field).value_or(0);
}

namespace {

constexpr std::size_t kListaFinalField = 23;
constexpr std::size_t kFieldsWithoutListaFinal = kStatusOperacionalFields - 1;

// The 27-field form: its last field is a state the standard defines. In the
// standard's order that field is the certificate's expiry date (AAAAMMDD),
// which never reads as 0 to 4 nor as a name.
bool LeavesListaFinalOut(const std::vector<std::string_view>& fields, std::size_t reached) {
    if (reached != kFieldsWithoutListaFinal) {
        return false;
    }
    const std::optional<std::int32_t> state = ReadEstadoOperacao(fields[reached - 1]);
    return state && *state >= 0 && *state <= 4;
}

} // namespace

void FillStatusOperacional(TSatStatusOperacional& record, std::string_view raw) {
    const std::vector<std::string_view> fields = SplitResponseViews(raw, kStatusOperacionalFields);
    const std::size_t reached = std::min(ReachedResponseFields(raw), kStatusOperacionalFields);
    if (LeavesListaFinalOut(fields, reached)) {
        for (std::size_t k = 1; k < kListaFinalField; ++k) {
            record.*kTextMembers[k - 1] = Utf8ToCp1252(fields[k - 1]);
        }
        record.ListaFinal.clear();
        for (std::size_t k = kListaFinalField; k < kFieldsWithoutListaFinal; ++k) {
            record.*kTextMembers[k] = Utf8ToCp1252(fields[k - 1]);
        }
        record.EstadoOperacao = ParseEstadoOperacao(fields[kFieldsWithoutListaFinal - 1]);
        return;
    }
    for (std::size_t k = 1; k <= reached && k <= kStatusOperacionalTexts; ++k) {
        record.*kTextMembers[k - 1] = Utf8ToCp1252(fields[k - 1]);
    }
    if (reached == kStatusOperacionalFields) {
        record.EstadoOperacao = ParseEstadoOperacao(fields[kStatusOperacionalFields - 1]);
    }
}
