#pragma once
// The device's operational status: the 28 fields of the ConsultarStatusOperacional
// answer, kept in one record that the status page reads.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// 27 texts (Windows-1252, exactly as the device sends them, not trimmed) and
// the operation state, in the order of the answer's fields.
struct TSatStatusOperacional {
    std::string NumeroSessao;
    std::string CodigoRetorno;
    std::string Mensagem;
    std::string CodigoSefaz;
    std::string MensagemSefaz;
    std::string NSerie;
    std::string TipoLan;
    std::string LanIp;
    std::string LanMac;
    std::string LanMask;
    std::string LanGw;
    std::string LanDns1;
    std::string LanDns2;
    std::string StatusLan;
    std::string NivelBateria;
    std::string MtTotal;
    std::string MtUsada;
    std::string DhAtual;
    std::string VerSb;
    std::string VerLayout;
    std::string UltimoCfe;
    std::string ListaInicial;
    std::string ListaFinal;
    std::string DhCfe;
    std::string DhUltima;
    std::string CertEmissao;
    std::string CertVencimento;
    // 0 desbloqueado, 1 bloqueio SEFAZ, 2 bloqueio contribuinte,
    // 3 bloqueio autônomo, 4 bloqueio para desativação.
    std::int32_t EstadoOperacao = 0;
};

inline constexpr std::size_t kStatusOperacionalFields = 28;
inline constexpr std::size_t kStatusOperacionalTexts = 27;

// The text of field k (1 to 27) of the record.
std::string& StatusOperacionalText(TSatStatusOperacional& record, std::size_t k);
const std::string& StatusOperacionalText(const TSatStatusOperacional& record, std::size_t k);

// The operation state field as received, when it holds one: a decimal 32-bit
// number with an optional sign and leading blanks, or a state sent by name
// (UTF-8, see EstadoOperacaoFromName). Anything else holds none, trailing
// blanks and line breaks after a number included.
std::optional<std::int32_t> ReadEstadoOperacao(std::string_view field);

// ReadEstadoOperacao, or 0 when the field holds no state.
std::int32_t ParseEstadoOperacao(std::string_view field);

// Stores the fields of a status answer in the record: texts decoded from
// UTF-8 (an invalid field becomes empty), the state by ParseEstadoOperacao.
// The standard's answer has 28 fields, read by position. A device that
// leaves LISTA_FINAL out answers 27, the last being the state: that form is
// recognised by its state (0 to 4, or a name) in field 27, and its fields go
// to their own places, ListaFinal becoming empty. A final "|" ends the
// answer; fields it does not reach keep their previous values, fields after
// the 28th are ignored.
void FillStatusOperacional(TSatStatusOperacional& record, std::string_view raw);
