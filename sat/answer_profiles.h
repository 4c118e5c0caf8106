#pragma once
// How each SAT function's answer is decoded, judged, reported to the user and
// left in LastResponse. The wrappers pick one profile per function; every
// profile but the version one is reached only for an answer that holds a "|"
// (the others take the error path).

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "sat/base64_field.h"
#include "sat/status_operacional.h"
#include "sat/user_interface.h"

// What becomes of a field of the answer that is not valid UTF-8.
enum class InvalidUtf8Field {
    Emptied,
    KeptAsReceived, // for answers whose fields were once shown undecoded
};

// Field positions (from 1) of a function answered in the report profile.
struct ReportProfile {
    std::size_t fieldsKept;
    std::size_t codeField;
    std::size_t messageField;
    std::size_t sefazMessageField;
    std::size_t base64Field; // 0 when the answer has no Base64 payload
    std::string_view successCode;
    InvalidUtf8Field invalidField = InvalidUtf8Field::Emptied;
};

// The library answered an error text instead of fields: LastResponse holds it
// decoded from UTF-8 and one error dialog shows it. The wait panel is left
// alone (the dialog shows over it). The operation's result is false.
void TakeErrorPath(std::string_view raw, SatUserInterface& ui, std::string& lastResponse);

// The two report dialogs, after hiding the wait panel: the tax authority's
// message when it is not blank ("Mensagem SEFAZ\r\n" + message + "[i]"), then
// the outcome (code + "\r\n" + message + "[i]") for every answer.
void ShowReportDialogs(SatUserInterface& ui, std::string_view code, std::string_view message,
                       std::string_view sefazMessage);

// Keeps fieldsKept fields, each decoded from UTF-8 (an invalid one emptied
// or kept as profile.invalidField says) or, for the payload field, from
// Base64 (AppendBase64Payload, which notes in payload where it went);
// LastResponse gets them joined by "|" (a shorter answer is padded with
// empty fields, later fields are dropped); then the report dialogs. True
// when the code field is profile.successCode.
// With payloadSink, the payload field's device bytes go there in pieces and
// the field stays empty in LastResponse (payload then records nothing).
bool DecodeReportAnswer(std::string_view raw, const ReportProfile& profile, SatUserInterface& ui,
                        std::string& lastResponse, Base64Payload& payload,
                        const std::function<void(std::string_view)>* payloadSink = nullptr);

// Fills the status record, leaves the whole answer in the quoted form in
// LastResponse, then the report dialogs. The dialogs and the outcome use this
// answer's own fields: a short answer must not be judged by the code of an
// earlier query that the record still holds. True for code "10000".
bool DecodeStatusAnswer(std::string_view raw, TSatStatusOperacional& record, SatUserInterface& ui,
                        std::string& lastResponse);

// The end-to-end test: report dialogs from the first nine fields, then the
// whole answer (the signed sale still in Base64) in the quoted form in
// LastResponse; the outcome is judged on its second quoted field. True for
// code "09000".
bool DecodeEndToEndAnswer(std::string_view raw, SatUserInterface& ui, std::string& lastResponse);

// No dialog: LastResponse gets the whole answer in the quoted form; true when
// its second field is one of successCodes.
bool DecodeSilentAnswer(std::string_view raw, std::span<const std::string_view> successCodes,
                        std::string& lastResponse);

// No dialog and no judgement: LastResponse gets the whole answer decoded from
// UTF-8. The operation's result is false.
void DecodeRawAnswer(std::string_view raw, std::string& lastResponse);

// The library version: the whole answer decoded from UTF-8.
std::string DecodeVersionAnswer(std::string_view raw);
