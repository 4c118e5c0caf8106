#pragma once
// The operational status answer read into typed values for monitoring: dates
// as points in time, memory in bytes, the operating state as a number, and
// the values derived from them (days without SEFAZ, days to the certificate's
// expiry, CF-e waiting for transmission, share of memory used). Texts here
// are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sat/status_operacional.h"

// The device's clock runs on Brasília time: UTC-03:00, without daylight
// saving since 2019. Its AAAAMMDDhhmmss texts carry no zone of their own.
inline constexpr int kDeviceUtcOffsetSeconds = -3 * 3600;

// A date or date and time as the device wrote it, with the moment it stands
// for (seconds since 1970-01-01 UTC; a date alone stands for its midnight).
struct DeviceTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool hasTime = false;
    std::int64_t epochSeconds = 0;

    // ISO 8601: "2015-11-10T08:47:52-03:00", or "2019-11-02" for a date alone.
    std::string Iso8601() const;
};

// AAAAMMDDhhmmss or AAAAMMDD (blanks around it ignored) that names a real
// calendar date and time; nothing for anything else, the empty text included.
std::optional<DeviceTime> ParseDeviceTime(std::string_view text);

// MT_TOTAL / MT_USADA in bytes: plain bytes ("1073741824") or a number with a
// unit ("4 GB", "260 MB", "1,5 GB"; B, KB, MB, GB, TB in any letter case,
// counted in powers of 1024). Nothing for a text that is neither.
std::optional<std::int64_t> ParseMemoryBytes(std::string_view text);

// The number of CF-e in the range LISTA_INICIAL..LISTA_FINAL (access keys of
// 44 digits, "CFe" before them allowed), from the document numbers (nCF) in
// the keys; numbering goes on from 999999 to 1. Both empty or zeros: 0.
// Nothing when the device did not give both, or gave keys of two devices.
std::optional<std::int64_t> CountWaitingDocuments(std::string_view listaInicial,
                                                  std::string_view listaFinal);

// How the status query went.
enum class StatusOutcome {
    Answered, // the device answered 10000 with its status
    Refused,  // the device answered with another code (busy, wrong code...)
    NoAnswer, // the library gave no fields: no library, a null pointer, an error text
};

struct StatusReading {
    StatusOutcome outcome = StatusOutcome::NoAnswer;
    // The answer's header; for NoAnswer only mensagem, which says what failed.
    std::optional<std::int64_t> numeroSessao;
    std::string codigo; // EEEEE as sent ("10000", "10098"), empty when there was none
    std::string mensagem;
    std::string cod;
    std::string mensagemSefaz;

    // The status fields (Answered only); texts trimmed, empty when absent.
    std::string nserie, tipoLan, lanIp, lanMac, lanMask, lanGw, lanDns1, lanDns2, statusLan,
        nivelBateria, verSb, verLayout;
    std::optional<std::int64_t> mtTotal, mtUsada;
    std::optional<DeviceTime> dhAtual, dhCfe, dhUltima, certEmissao, certVencimento;
    // Access keys; empty when the device sent none (empty or zeros).
    std::string ultimoCfe, listaInicial, listaFinal;
    // The operating state; nothing when the field holds no state the device
    // could mean (not a number or name, or a 27-field answer without it).
    std::optional<std::int32_t> estadoOperacao;

    // Derived, from the device's own clock (DH_ATUAL), as the device itself
    // counts the days to its autonomous block.
    std::optional<double> diasSemSefaz;        // DH_ATUAL - DH_ULTIMA
    std::optional<double> diasAteVencimento;   // CERT_VENCIMENTO - DH_ATUAL
    std::optional<std::int64_t> cfeAguardando; // CountWaitingDocuments
    std::optional<double> fracaoMemoriaUsada;  // MT_USADA / MT_TOTAL, 0 to 1 (or above)
};

// The reading of one status answer (raw UTF-8, as the library returned it)
// whose fields the record already holds (FillStatusOperacional).
StatusReading ReadStatusAnswer(std::string_view raw, const TSatStatusOperacional& record);

// A reading for a query that got no fields; message in UTF-8.
StatusReading NoAnswerReading(std::string message);

// The name of the operating state (UTF-8), nothing outside 0 to 4.
std::optional<std::string> EstadoOperacaoNameUtf8(std::int32_t estado);

// A derived value as JSON, metrics and performance data write it: rounded to
// four decimals, in the shortest form with a "." ("6", "0.2539", "-1.5").
std::string DecimalText(double value);
