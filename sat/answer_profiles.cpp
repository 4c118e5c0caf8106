#include "sat/answer_profiles.h"

#include <algorithm>
#include <vector>

#include "rules/cp1252.h"
#include "rules/text_utils.h"
#include "sat/response_fields.h"

namespace {

constexpr std::string_view kInformationMarker = "[i]";
constexpr std::string_view kErrorMarker = "[e]";

std::string DecodedText(std::string_view field, InvalidUtf8Field invalid) {
    return invalid == InvalidUtf8Field::KeptAsReceived ? Utf8ToCp1252OrAsReceived(field)
                                                       : Utf8ToCp1252(field);
}

// Field k (from 1) of a split answer, decoded from UTF-8; empty when k is 0.
std::string DecodedField(const std::vector<std::string_view>& fields, std::size_t k,
                         InvalidUtf8Field invalid = InvalidUtf8Field::Emptied) {
    if (k == 0 || k > fields.size()) {
        return {};
    }
    return DecodedText(fields[k - 1], invalid);
}

// The report dialogs of an answer whose message and tax authority message
// stand at messageField and sefazField, or where the busy answer has them.
void ShowAnswerDialogs(std::string_view raw, SatUserInterface& ui, std::size_t codeField,
                       std::size_t messageField, std::size_t sefazField,
                       InvalidUtf8Field invalid = InvalidUtf8Field::Emptied) {
    if (IsBusyAnswer(raw)) {
        messageField = 4;
        sefazField = 6;
    }
    const std::vector<std::string_view> fields =
        SplitResponseViews(raw, std::max({codeField, messageField, sefazField}));
    ShowReportDialogs(ui, DecodedField(fields, codeField, invalid),
                      DecodedField(fields, messageField, invalid),
                      DecodedField(fields, sefazField, invalid));
}

} // namespace

void TakeErrorPath(std::string_view raw, SatUserInterface& ui, std::string& lastResponse) {
    lastResponse = Utf8ToCp1252(raw);
    ui.ShowMessageDialog(lastResponse + std::string(kErrorMarker));
}

void ShowReportDialogs(SatUserInterface& ui, std::string_view code, std::string_view message,
                       std::string_view sefazMessage) {
    ui.FechaAguarde();
    if (!IsBlank(sefazMessage)) {
        std::string text = "Mensagem SEFAZ\r\n";
        text.append(sefazMessage).append(kInformationMarker);
        ui.ShowMessageDialog(text);
    }
    std::string outcome(code);
    outcome.append("\r\n").append(message).append(kInformationMarker);
    ui.ShowMessageDialog(outcome);
}

bool DecodeReportAnswer(std::string_view raw, const ReportProfile& profile, SatUserInterface& ui,
                        std::string& lastResponse, Base64Payload& payload,
                        const std::function<void(std::string_view)>* payloadSink) {
    const std::vector<std::string_view> fields = SplitResponseViews(raw, profile.fieldsKept);
    lastResponse.clear();
    for (std::size_t k = 1; k <= fields.size(); ++k) {
        if (k > 1) {
            lastResponse.push_back('|');
        }
        if (k == profile.base64Field && payloadSink != nullptr) {
            WriteBase64FieldBytes(fields[k - 1], *payloadSink);
        } else if (k == profile.base64Field) {
            payload = AppendBase64Payload(lastResponse, fields[k - 1]);
        } else {
            lastResponse.append(DecodedText(fields[k - 1], profile.invalidField));
        }
    }
    ShowAnswerDialogs(raw, ui, profile.codeField, profile.messageField, profile.sefazMessageField,
                      profile.invalidField);
    return IsSuccessCode(DecodedField(fields, profile.codeField, profile.invalidField),
                         profile.successCode);
}

bool DecodeStatusAnswer(std::string_view raw, TSatStatusOperacional& record, SatUserInterface& ui,
                        std::string& lastResponse) {
    FillStatusOperacional(record, raw);
    lastResponse = ToQuotedCsv(raw);
    ShowAnswerDialogs(raw, ui, 2, 3, 5);
    return IsSuccessCode(DecodedField(SplitResponseViews(raw, 2), 2), "10000");
}

bool DecodeEndToEndAnswer(std::string_view raw, SatUserInterface& ui, std::string& lastResponse) {
    ShowAnswerDialogs(raw, ui, 2, 3, 5);
    lastResponse = ToQuotedCsv(raw);
    return IsSuccessCode(CsvField(2, lastResponse), "09000");
}

bool DecodeSilentAnswer(std::string_view raw, std::span<const std::string_view> successCodes,
                        std::string& lastResponse) {
    lastResponse = ToQuotedCsv(raw);
    return IsAnySuccessCode(CsvField(2, lastResponse), successCodes);
}

void DecodeRawAnswer(std::string_view raw, std::string& lastResponse) {
    lastResponse = Utf8ToCp1252(raw);
}

std::string DecodeVersionAnswer(std::string_view raw) {
    return Utf8ToCp1252(raw);
}
