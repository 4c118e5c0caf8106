#include "cli/status_reading.h"

#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "rules/cp1252.h"
#include "rules/operating_state_names.h"
#include "sat/response_fields.h"

namespace {

constexpr double kSecondsPerDay = 86400.0;

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int Number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// A record text (Windows-1252) as trimmed UTF-8.
std::string Text(const std::string& cp1252) {
    return Cp1252ToUtf8(Trimmed(cp1252));
}

// An access key field, empty when it names no document (empty or zeros).
std::string KeyText(const std::string& cp1252) {
    std::string key = Text(cp1252);
    std::string_view digits = key;
    if (digits.starts_with("CFe")) {
        digits.remove_prefix(3);
    }
    if (digits.find_first_not_of('0') == std::string_view::npos) {
        key.clear();
    }
    return key;
}

// The 44 digits of an access key ("CFe" before them allowed).
std::optional<std::string_view> KeyDigits(std::string_view key) {
    key = Trimmed(key);
    if (key.starts_with("CFe")) {
        key.remove_prefix(3);
    }
    if (key.size() != 44 || !IsDigits(key)) {
        return std::nullopt;
    }
    return key;
}

bool NamesNoDocument(std::string_view key) {
    key = Trimmed(key);
    if (key.starts_with("CFe")) {
        key.remove_prefix(3);
    }
    return key.find_first_not_of('0') == std::string_view::npos;
}

// cUF(2) AAMM(4) CNPJ(14) modelo(2) nserieSAT(9) nCF(6) cNF(6) DV(1)
constexpr std::size_t kSerialStart = 22;
constexpr std::size_t kSerialSize = 9;
constexpr std::size_t kNumberStart = 31;
constexpr std::size_t kNumberSize = 6;
constexpr std::int64_t kLastDocumentNumber = 999999;

std::optional<double> DaysBetween(const std::optional<DeviceTime>& from,
                                  const std::optional<DeviceTime>& to) {
    if (!from || !to) {
        return std::nullopt;
    }
    return static_cast<double>(to->epochSeconds - from->epochSeconds) / kSecondsPerDay;
}

} // namespace

std::string DeviceTime::Iso8601() const {
    char text[40];
    if (!hasTime) {
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
        return text;
    }
    const int offsetMinutes = kDeviceUtcOffsetSeconds / 60;
    const int absolute = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", year, month, day,
                  hour, minute, second, offsetMinutes < 0 ? '-' : '+', absolute / 60,
                  absolute % 60);
    return text;
}

std::optional<DeviceTime> ParseDeviceTime(std::string_view text) {
    text = Trimmed(text);
    if ((text.size() != 8 && text.size() != 14) || !IsDigits(text)) {
        return std::nullopt;
    }
    DeviceTime time;
    time.year = Number(text.substr(0, 4));
    time.month = Number(text.substr(4, 2));
    time.day = Number(text.substr(6, 2));
    time.hasTime = text.size() == 14;
    if (time.hasTime) {
        time.hour = Number(text.substr(8, 2));
        time.minute = Number(text.substr(10, 2));
        time.second = Number(text.substr(12, 2));
        if (time.hour > 23 || time.minute > 59 || time.second > 59) {
            return std::nullopt;
        }
    }
    using namespace std::chrono;
    const year_month_day date{year{time.year}, month{static_cast<unsigned>(time.month)},
                              day{static_cast<unsigned>(time.day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    const std::int64_t days = sys_days(date).time_since_epoch().count();
    time.epochSeconds =
        days * 86400 + time.hour * 3600 + time.minute * 60 + time.second - kDeviceUtcOffsetSeconds;
    return time;
}

std::optional<std::int64_t> ParseMemoryBytes(std::string_view text) {
    text = Trimmed(text);
    const std::size_t numberEnd = text.find_first_not_of("0123456789.,");
    std::string number(text.substr(0, numberEnd));
    std::string_view unit =
        Trimmed(numberEnd == std::string_view::npos ? std::string_view{} : text.substr(numberEnd));
    if (number.empty() || !std::isdigit(static_cast<unsigned char>(number.front())) ||
        !std::isdigit(static_cast<unsigned char>(number.back()))) {
        return std::nullopt;
    }
    for (char& c : number) {
        if (c == ',') {
            c = '.';
        }
    }
    if (number.find('.') != number.rfind('.')) {
        return std::nullopt;
    }
    std::string upper;
    for (const char c : unit) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static const std::array<std::pair<std::string_view, int>, 5> kUnits = {
        {{"B", 0}, {"KB", 1}, {"MB", 2}, {"GB", 3}, {"TB", 4}}};
    int power = -1;
    if (upper.empty()) {
        power = 0;
    }
    for (const auto& [name, p] : kUnits) {
        if (upper == name) {
            power = p;
        }
    }
    if (power < 0 || (power == 0 && number.find('.') != std::string::npos)) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    const double bytes = std::round(value * std::pow(1024.0, power));
    if (bytes >= static_cast<double>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(bytes);
}

std::optional<std::int64_t> CountWaitingDocuments(std::string_view listaInicial,
                                                  std::string_view listaFinal) {
    const bool noFirst = NamesNoDocument(listaInicial);
    const bool noLast = NamesNoDocument(listaFinal);
    if (noFirst && noLast) {
        return 0;
    }
    const auto first = KeyDigits(listaInicial);
    const auto last = KeyDigits(listaFinal);
    if (!first || !last ||
        first->substr(kSerialStart, kSerialSize) != last->substr(kSerialStart, kSerialSize)) {
        return std::nullopt;
    }
    const std::int64_t from = Number(first->substr(kNumberStart, kNumberSize));
    const std::int64_t to = Number(last->substr(kNumberStart, kNumberSize));
    if (from < 1 || to < 1) {
        return std::nullopt;
    }
    return to >= from ? to - from + 1 : kLastDocumentNumber - from + 1 + to;
}

std::optional<std::string> EstadoOperacaoNameUtf8(std::int32_t estado) {
    if (estado < 0 || estado > 4) {
        return std::nullopt;
    }
    return Cp1252ToUtf8(EstadoOperacaoName(estado));
}

StatusReading NoAnswerReading(std::string message) {
    StatusReading reading;
    reading.outcome = StatusOutcome::NoAnswer;
    reading.mensagem = std::move(message);
    return reading;
}

StatusReading ReadStatusAnswer(std::string_view raw, const TSatStatusOperacional& record) {
    constexpr std::size_t kFields = kStatusOperacionalFields;
    const std::vector<std::string_view> fields = SplitResponseViews(raw, kFields);
    const std::size_t reached = ReachedResponseFields(raw);

    StatusReading reading;
    const std::string_view session = Trimmed(fields[0]);
    if (IsDigits(session) && session.size() <= 9) {
        reading.numeroSessao = Number(session);
    }
    reading.codigo = Text(record.CodigoRetorno);
    reading.mensagem = Text(record.Mensagem);
    reading.cod = Text(record.CodigoSefaz);
    reading.mensagemSefaz = Text(record.MensagemSefaz);
    // A busy device answers the sale's six-field form,
    // "sessão|xx098|0000|SAT em processamento. Tente novamente.||":
    // its message is the fourth field.
    const std::string_view third = Trimmed(fields[2]);
    if (CountResponseFields(raw) == 6 && third.size() == 4 && IsDigits(third)) {
        reading.mensagem = Cp1252ToUtf8(Trimmed(Utf8ToCp1252(fields[3])));
        reading.cod = Cp1252ToUtf8(Trimmed(Utf8ToCp1252(fields[4])));
        reading.mensagemSefaz = Cp1252ToUtf8(Trimmed(Utf8ToCp1252(fields[5])));
    }
    if (!IsSuccessCode(record.CodigoRetorno, "10000")) {
        reading.outcome = StatusOutcome::Refused;
        return reading;
    }

    reading.outcome = StatusOutcome::Answered;
    reading.nserie = Text(record.NSerie);
    reading.tipoLan = Text(record.TipoLan);
    reading.lanIp = Text(record.LanIp);
    reading.lanMac = Text(record.LanMac);
    reading.lanMask = Text(record.LanMask);
    reading.lanGw = Text(record.LanGw);
    reading.lanDns1 = Text(record.LanDns1);
    reading.lanDns2 = Text(record.LanDns2);
    reading.statusLan = Text(record.StatusLan);
    reading.nivelBateria = Text(record.NivelBateria);
    reading.verSb = Text(record.VerSb);
    reading.verLayout = Text(record.VerLayout);
    reading.mtTotal = ParseMemoryBytes(Text(record.MtTotal));
    reading.mtUsada = ParseMemoryBytes(Text(record.MtUsada));
    reading.dhAtual = ParseDeviceTime(record.DhAtual);
    reading.dhCfe = ParseDeviceTime(record.DhCfe);
    reading.dhUltima = ParseDeviceTime(record.DhUltima);
    reading.certEmissao = ParseDeviceTime(record.CertEmissao);
    reading.certVencimento = ParseDeviceTime(record.CertVencimento);
    reading.ultimoCfe = KeyText(record.UltimoCfe);
    reading.listaInicial = KeyText(record.ListaInicial);
    reading.listaFinal = KeyText(record.ListaFinal);

    // The state as sent, not the record's 0 for a field that holds none: a
    // garbled state must not read as "DESBLOQUEADO". A 27-field answer ends
    // with the state only when it left LISTA_FINAL out (the record saw that).
    std::optional<std::int32_t> state;
    if (reached >= kFields) {
        state = ReadEstadoOperacao(fields[kFields - 1]);
    } else if (reached == kFields - 1) {
        state = ReadEstadoOperacao(fields[kFields - 2]);
        if (state && (*state < 0 || *state > 4)) {
            state.reset();
        }
    }
    reading.estadoOperacao = state;

    reading.diasSemSefaz = DaysBetween(reading.dhUltima, reading.dhAtual);
    reading.diasAteVencimento = DaysBetween(reading.dhAtual, reading.certVencimento);
    // A device that leaves LISTA_FINAL out does not say how many wait.
    if (reached >= kFields) {
        reading.cfeAguardando =
            CountWaitingDocuments(Text(record.ListaInicial), Text(record.ListaFinal));
    }
    if (reading.mtTotal && reading.mtUsada && *reading.mtTotal > 0) {
        reading.fracaoMemoriaUsada =
            static_cast<double>(*reading.mtUsada) / static_cast<double>(*reading.mtTotal);
    }
    return reading;
}

std::string DecimalText(double value) {
    double rounded = std::round(value * 10000.0) / 10000.0;
    if (rounded == 0) {
        rounded = 0; // no "-0"
    }
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, rounded);
    return std::string(text, result.ptr);
}
