#pragma once
// The rules a page applies while the user types and moves between fields:
// the key filter of the numeric fields, and what entering and leaving a
// field writes back into it and shows on the round indicator beside it.
// Indicators are advice only: none of these rules refuses anything or shows
// a message.
//
// A page copies the field's text in, calls the rule and copies back what it
// returns. Texts are Windows-1252.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/octet_texts.h"

// The two looks of a field's "_check" indicator.
enum class Indicator { X, OK };

// What leaving a field writes back: its new text and its indicator's look.
struct FieldExit {
    std::string text;
    Indicator indicator = Indicator::X;
};

// CampoNumeroKeyPress: the characters a numeric field accepts, Backspace (8),
// Enter (13) and the digits; everything else is dropped.
bool NumericFieldAcceptsKey(int character);

// NumericAllEnter: the text shown when an octet or number field gets the
// focus, the number without leading zeros ("007" -> "7", "" -> "0"). The page
// then selects the whole text.
std::string NumberFieldOnEnter(std::string_view text);

// Where the focus goes after a rule ran: on along the tab order, or to the
// proxy mode list rede_proxy_opt.
enum class FocusMove { TabOrder, ToProxyMode };

struct OctetExit {
    std::string text; // the octet left, as three digits
    // The group's indicator; set only when the field's tag names a group.
    std::optional<Indicator> groupIndicator;
    FocusMove focus = FocusMove::TabOrder;
};

// OK when each of the four octets lies between 0 and 255 inclusive; an empty
// octet counts as 0.
Indicator CheckOctetGroup(const OctetTexts& group);

// IPMascExit: leaving octet `left` (0..3) of `group` pads it to three digits
// ("7" -> "007", "" -> "000"). A tag of 1 to 6 (carried only by the fourth
// octet of each group) then checks the whole group as it reads after the
// padding; tag 0 and any other tag only pad.
OctetExit OctetFieldOnExit(const OctetTexts& group, std::size_t left, int tag);

// rede_manual_dns2_4Exit: the same for the fourth octet of the second DNS
// server (group 5), and the focus goes to the proxy mode list whatever the
// check says.
OctetExit Dns2LastOctetOnExit(const OctetTexts& dns2Group);

// rede_proxy_portExit: the port without leading zeros; OK above 0.
FieldExit ProxyPortOnExit(std::string_view text);

// rede_proxy_userExit, rede_proxy_passExit: blanks trimmed; OK when something
// is left.
FieldExit ProxyCredentialOnExit(std::string_view text);

// The length rule of every activation code, the default code of the network
// page included: after trimming, 8 to 32 characters (so never blank).
bool IsAcceptableActivationCode(std::string_view trimmedCode);

// ativar_codigoExit, manutencao_cod_ativacaoExit,
// manutencao_cod_ativacao_novoExit and rede_status_sat_ativacaoExit (the
// default code): blanks trimmed; OK for 8 to 32 characters.
FieldExit ActivationCodeOnExit(std::string_view text);

// ativar_codigo_confExit, manutencao_cod_ativacao_novo_confExit: the same, and
// OK only when the trimmed confirmation equals `code` exactly (letter case
// counts). `code` is the current text of the code field it confirms.
FieldExit ConfirmationCodeOnExit(std::string_view confirmation, std::string_view code);

// The CNPJ of a field as a whole number, the mask's ".", "-" and "/" ignored.
double CnpjFieldValue(std::string_view text);

// ativar_cnpjEnter, associar_cnpjEnter, associar_shEnter: the bare digits
// without the mask and without leading zeros ("61.099.008/0001-41" ->
// "61099008000141"). The page then selects the whole text.
std::string CnpjOnEnter(std::string_view text);

// ativar_cnpjExit, associar_cnpjExit, associar_shExit: a valid CNPJ of 13 or
// 14 significant digits is shown masked ("61.099.008/0001-41") with OK;
// anything else keeps the text as typed and shows X. A CNPJ starting with
// "00" has only 12 significant digits and shows X.
FieldExit CnpjOnExit(std::string_view text);

// The value of a memo as the rules read it: its lines joined by CR LF, blanks
// trimmed from both ends, then every CR and LF removed.
std::string MemoValue(const std::vector<std::string>& lines);

// associar_assinaturaExit, ativar_certificado_icpExit, icp_certificado_icpExit:
// OK when MemoValue is not blank. The memo itself is left unchanged.
Indicator MemoOnExit(const std::vector<std::string>& lines);
