#include "rules/field_rules.h"

#include "rules/text_utils.h"
#include "rules/whole_number_format.h"

namespace {

constexpr std::string_view kCnpjMask = "00;000;000/0000-00";

Indicator LookOf(bool ok) {
    return ok ? Indicator::OK : Indicator::X;
}

} // namespace

double CnpjFieldValue(std::string_view text) {
    return WholeNumberValue(RemoveAll(RemoveAll(RemoveAll(text, "."), "-"), "/"));
}

bool NumericFieldAcceptsKey(int character) {
    return character == 8 || character == 13 || (character >= '0' && character <= '9');
}

std::string NumberFieldOnEnter(std::string_view text) {
    return FormatWholeNumber(TextToFloat(text), 1);
}

Indicator CheckOctetGroup(const OctetTexts& group) {
    return LookOf(AreOctetsInRange(group));
}

OctetExit OctetFieldOnExit(const OctetTexts& group, std::size_t left, int tag) {
    OctetExit exit;
    exit.text = left < group.size() ? PaddedOctet(group[left]) : PaddedOctet("");
    if (tag >= 1 && tag <= 6) {
        OctetTexts padded = group;
        if (left < padded.size()) {
            padded[left] = exit.text;
        }
        exit.groupIndicator = CheckOctetGroup(padded);
    }
    return exit;
}

OctetExit Dns2LastOctetOnExit(const OctetTexts& dns2Group) {
    OctetExit exit = OctetFieldOnExit(dns2Group, 3, 5);
    exit.focus = FocusMove::ToProxyMode;
    return exit;
}

FieldExit ProxyPortOnExit(std::string_view text) {
    const double port = WholeNumberValue(text);
    return {FormatWholeNumber(port, 1), LookOf(port > 0)};
}

FieldExit ProxyCredentialOnExit(std::string_view text) {
    std::string trimmed = TrimBlanks(text);
    const bool filled = !trimmed.empty();
    return {std::move(trimmed), LookOf(filled)};
}

bool IsAcceptableActivationCode(std::string_view trimmedCode) {
    return !IsBlank(trimmedCode) && trimmedCode.size() >= 8 && trimmedCode.size() <= 32;
}

FieldExit ActivationCodeOnExit(std::string_view text) {
    std::string code = TrimBlanks(text);
    const bool acceptable = IsAcceptableActivationCode(code);
    return {std::move(code), LookOf(acceptable)};
}

FieldExit ConfirmationCodeOnExit(std::string_view confirmation, std::string_view code) {
    std::string trimmed = TrimBlanks(confirmation);
    const bool ok = IsAcceptableActivationCode(trimmed) && trimmed == code;
    return {std::move(trimmed), LookOf(ok)};
}

std::string CnpjOnEnter(std::string_view text) {
    return FormatWholeNumber(CnpjFieldValue(text), 1);
}

FieldExit CnpjOnExit(std::string_view text) {
    const double value = CnpjFieldValue(text);
    const std::string digits = FormatWholeNumber(value, 1);
    if (IsValidCnpj(value) && digits.size() >= 13 && value > 0) {
        return {FormatWithMask(kCnpjMask, value), Indicator::OK};
    }
    return {std::string(text), Indicator::X};
}

std::string MemoValue(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            joined.append("\r\n");
        }
        joined.append(lines[i]);
    }
    return RemoveAll(RemoveAll(TrimBlanks(joined), "\r"), "\n");
}

Indicator MemoOnExit(const std::vector<std::string>& lines) {
    return LookOf(!IsBlank(MemoValue(lines)));
}
