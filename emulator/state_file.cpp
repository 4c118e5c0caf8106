#include "emulator/state_file.h"

#include "emulator/answers.h"
#include "emulator/device_key.h"
#include "emulator/document_numbers.h"
#include "emulator/platform.h"
#include "emulator/text_encoding.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace satemu {
namespace {

constexpr std::string_view kHeader = "format=1";
constexpr std::string_view kEnd = "end";

void AppendEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

std::optional<std::string> Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) {
            return std::nullopt;
        }
        switch (value[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

class Writer {
public:
    void Put(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += '=';
        AppendEscaped(text_, value);
        text_ += '\n';
    }
    void Put(std::string_view key, std::int64_t value) { Put(key, std::to_string(value)); }
    void Put(std::string_view key, bool value) { Put(key, std::string_view(value ? "1" : "0")); }
    std::string& Text() { return text_; }
    void Reserve(std::size_t bytes) { text_.reserve(bytes); }

private:
    std::string text_;
};

// A whole number; false for anything else, one too large for 64 bits included
// (which must make the file damaged, never read as 0).
bool ToInteger(std::string_view text, std::int64_t& out) {
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(begin, end, out);
    return !text.empty() && error == std::errc{} && ptr == end;
}

// Applies one key; false when the value has the wrong form.
bool Apply(DeviceState& s, std::string_view key, const std::string& v) {
    std::int64_t n = 0;
    const auto flag = [&](bool& out) {
        if (v != "0" && v != "1") {
            return false;
        }
        out = v == "1";
        return true;
    };
    const auto integer = [&](auto& out, std::int64_t min, std::int64_t max) {
        if (!ToInteger(v, n) || n < min || n > max) {
            return false;
        }
        out = static_cast<std::remove_reference_t<decltype(out)>>(n);
        return true;
    };
    const auto address = [&](std::string& out) {
        const auto normalised = NormaliseAddress(v);
        if (!normalised) {
            return false;
        }
        out = *normalised;
        return true;
    };
    const auto key44 = [&](std::string& out) {
        if (!v.empty() && !IsDigits(v, 44)) {
            return false;
        }
        out = v;
        return true;
    };
    constexpr std::int64_t kBig = kMaxLargeValue;
    NetworkConfig& net = s.network;
    if (key == "serial") {
        s.serial = v;
        return IsDigits(v, 9);
    }
    if (key == "developer_kit")
        return flag(s.developerKit);
    if (key == "activated")
        return flag(s.activated);
    if (key == "taxpayer_cnpj")
        return s.taxpayerCnpj = v, v.empty() || IsDigits(v, 14);
    if (key == "taxpayer_ie")
        return s.taxpayerIe = v, v.empty() || IsDigitsBetween(v, 2, 14);
    if (key == "taxpayer_name")
        return s.taxpayerName = v, true;
    if (key == "uf")
        return integer(s.ufCode, 0, 99);
    if (key == "activation_code")
        return s.activationCode = v, true;
    if (key == "emergency_code")
        return s.emergencyCode = v, true;
    if (key == "wrong_code_attempts")
        return integer(s.wrongCodeAttempts, 0, kMaxCounter);
    if (key == "code_locked")
        return flag(s.codeLocked);
    if (key == "software_house_cnpj")
        return s.softwareHouseCnpj = v, v.empty() || IsDigits(v, 14);
    if (key == "ac_signature")
        return s.acSignature = v, true;
    if (key == "operation_state") {
        int state = 0;
        if (!integer(state, 0, 4)) {
            return false;
        }
        s.operationState = static_cast<OperationState>(state);
        return true;
    }
    if (key == "battery")
        return s.batteryLevel = v, v == "ALTO" || v == "MEDIO" || v == "BAIXO";
    if (key == "net_interface")
        return net.interfaceType = v, v == "ETHE" || v == "WIFI";
    if (key == "net_ssid")
        return net.ssid = v, true;
    if (key == "net_security")
        return net.security = v, true;
    if (key == "net_wifi_key")
        return net.wifiKey = v, true;
    if (key == "net_lan")
        return net.lanType = v, v == "DHCP" || v == "PPPOE" || v == "IPFIX";
    if (key == "net_ip")
        return address(net.ip);
    if (key == "net_mask")
        return address(net.mask);
    if (key == "net_gateway")
        return address(net.gateway);
    if (key == "net_dns1")
        return address(net.dns1);
    if (key == "net_dns2")
        return address(net.dns2);
    if (key == "net_pppoe_user")
        return net.pppoeUser = v, true;
    if (key == "net_pppoe_password")
        return net.pppoePassword = v, true;
    if (key == "net_proxy")
        return integer(net.proxyMode, 0, 2);
    if (key == "net_proxy_ip")
        return address(net.proxyIp);
    if (key == "net_proxy_port")
        return integer(net.proxyPort, 0, 65535);
    if (key == "net_proxy_user")
        return net.proxyUser = v, true;
    if (key == "net_proxy_password")
        return net.proxyPassword = v, true;
    if (key == "certificate_issued")
        return s.certificateIssued = v, v.empty() || IsDigits(v, 8);
    if (key == "certificate_expires")
        return s.certificateExpires = v, v.empty() || IsDigits(v, 8);
    if (key == "icp_request_pending")
        return flag(s.icpRequestPending);
    if (key == "software_version")
        return s.softwareVersion = v, !v.empty();
    if (key == "available_update")
        return s.availableUpdate = v, true;
    if (key == "last_document_number")
        return integer(s.lastDocumentNumber, 0, 999999);
    if (key == "test_documents")
        return integer(s.testDocuments, 0, 999999);
    if (key == "sales_issued")
        return integer(s.salesIssued, 0, kBig);
    if (key == "sales_cancelled")
        return integer(s.salesCancelled, 0, kBig);
    if (key == "last_sale_number")
        return integer(s.lastSale.number, 0, 999999);
    if (key == "last_sale_key")
        return key44(s.lastSale.key);
    if (key == "last_sale_time")
        return integer(s.lastSale.issuedAt, 0, kBig);
    if (key == "last_sale_total")
        return integer(s.lastSale.totalCents, 0, kBig);
    if (key == "last_sale_buyer")
        return s.lastSale.buyer = v, true;
    if (key == "last_sale_im")
        return s.lastSale.municipalRegistration = v, Utf8Length(v) <= 15;
    if (key == "last_sale_cancelled")
        return flag(s.lastSale.cancelled);
    if (key == "last_document_key")
        return key44(s.lastDocumentKey);
    if (key == "pending_first_key")
        return key44(s.pendingFirstKey);
    if (key == "pending_last_key")
        return key44(s.pendingLastKey);
    if (key == "pending_documents")
        return integer(s.pendingDocuments, 0, kMaxCounter);
    if (key == "pending_bytes")
        return integer(s.pendingBytes, 0, kBig);
    if (key == "created_at")
        return integer(s.createdAt, 0, kBig);
    if (key == "last_transmission")
        return integer(s.lastTransmission, 0, kBig);
    if (key == "last_communication")
        return integer(s.lastCommunication, 0, kBig);
    if (key == "device_key")
        return s.keyPem = v, true;
    if (key == "device_certificate")
        return s.certificatePem = v, true;
    if (key == "next_answer_id")
        return integer(s.nextAnswerId, 1, kBig);
    if (key == "last_fiscal_answer_id")
        return integer(s.lastFiscalAnswerId, 0, kBig);
    if (key == "session_answer") {
        // "<session number>:<answer id>"
        const std::size_t colon = v.find(':');
        std::int64_t number = 0;
        std::int64_t id = 0;
        if (colon == std::string::npos ||
            !ToInteger(std::string_view(v).substr(0, colon), number) ||
            !ToInteger(std::string_view(v).substr(colon + 1), id) || number < 1 ||
            number > 999999 || id < 1 || s.sessions.size() >= kKeptSessions) {
            return false;
        }
        s.sessions.push_back({static_cast<int>(number), id, {}});
        return true;
    }
    if (key == "session") {
        // Earlier versions kept the answer itself, which starts with its
        // session number.
        const std::size_t bar = v.find('|');
        std::int64_t number = 0;
        if (bar == std::string::npos || !ToInteger(std::string_view(v).substr(0, bar), number) ||
            number < 1 || number > 999999 || s.sessions.size() >= kKeptSessions) {
            return false;
        }
        s.sessions.push_back({static_cast<int>(number), 0, v});
        return true;
    }
    if (key == "pending_log")
        return s.pendingLog = v, true;
    if (key == "last_fiscal_answer")
        return s.lastFiscalAnswer = v, v.empty() || AnswerCode(v) >= 0;
    return true; // a key of a later version: ignored
}

} // namespace

std::string SerializeState(const DeviceState& s) {
    Writer w;
    w.Reserve(8192);
    w.Text() = "# State of the emulated SAT device (dllsat). Edit only while no program uses it.\n";
    w.Text() += kHeader;
    w.Text() += '\n';
    w.Put("serial", s.serial);
    w.Put("developer_kit", s.developerKit);
    w.Put("activated", s.activated);
    w.Put("taxpayer_cnpj", s.taxpayerCnpj);
    w.Put("taxpayer_ie", s.taxpayerIe);
    w.Put("taxpayer_name", s.taxpayerName);
    w.Put("uf", std::int64_t{s.ufCode});
    w.Put("activation_code", s.activationCode);
    w.Put("emergency_code", s.emergencyCode);
    w.Put("wrong_code_attempts", std::int64_t{s.wrongCodeAttempts});
    w.Put("code_locked", s.codeLocked);
    w.Put("software_house_cnpj", s.softwareHouseCnpj);
    w.Put("ac_signature", s.acSignature);
    w.Put("operation_state", std::int64_t{static_cast<int>(s.operationState)});
    w.Put("battery", s.batteryLevel);
    const NetworkConfig& net = s.network;
    w.Put("net_interface", net.interfaceType);
    w.Put("net_ssid", net.ssid);
    w.Put("net_security", net.security);
    w.Put("net_wifi_key", net.wifiKey);
    w.Put("net_lan", net.lanType);
    w.Put("net_ip", net.ip);
    w.Put("net_mask", net.mask);
    w.Put("net_gateway", net.gateway);
    w.Put("net_dns1", net.dns1);
    w.Put("net_dns2", net.dns2);
    w.Put("net_pppoe_user", net.pppoeUser);
    w.Put("net_pppoe_password", net.pppoePassword);
    w.Put("net_proxy", std::int64_t{net.proxyMode});
    w.Put("net_proxy_ip", net.proxyIp);
    w.Put("net_proxy_port", std::int64_t{net.proxyPort});
    w.Put("net_proxy_user", net.proxyUser);
    w.Put("net_proxy_password", net.proxyPassword);
    w.Put("device_key", s.keyPem);
    w.Put("device_certificate", s.certificatePem);
    w.Put("certificate_issued", s.certificateIssued);
    w.Put("certificate_expires", s.certificateExpires);
    w.Put("icp_request_pending", s.icpRequestPending);
    w.Put("software_version", s.softwareVersion);
    w.Put("available_update", s.availableUpdate);
    w.Put("last_document_number", std::int64_t{s.lastDocumentNumber});
    w.Put("test_documents", std::int64_t{s.testDocuments});
    w.Put("sales_issued", s.salesIssued);
    w.Put("sales_cancelled", s.salesCancelled);
    w.Put("last_sale_number", std::int64_t{s.lastSale.number});
    w.Put("last_sale_key", s.lastSale.key);
    w.Put("last_sale_time", s.lastSale.issuedAt);
    w.Put("last_sale_total", s.lastSale.totalCents);
    w.Put("last_sale_buyer", s.lastSale.buyer);
    w.Put("last_sale_cancelled", s.lastSale.cancelled);
    w.Put("last_sale_im", s.lastSale.municipalRegistration);
    w.Put("last_document_key", s.lastDocumentKey);
    w.Put("pending_first_key", s.pendingFirstKey);
    w.Put("pending_last_key", s.pendingLastKey);
    w.Put("pending_documents", std::int64_t{s.pendingDocuments});
    w.Put("pending_bytes", s.pendingBytes);
    w.Put("created_at", s.createdAt);
    w.Put("last_transmission", s.lastTransmission);
    w.Put("last_communication", s.lastCommunication);
    w.Put("next_answer_id", s.nextAnswerId);
    for (const SessionRecord& session : s.sessions) {
        if (session.answerId > 0) {
            w.Put("session_answer",
                  std::to_string(session.number) + ":" + std::to_string(session.answerId));
        } else {
            w.Put("session", session.answer);
        }
    }
    w.Put("last_fiscal_answer_id", s.lastFiscalAnswerId);
    if (!s.lastFiscalAnswer.empty()) {
        w.Put("last_fiscal_answer", s.lastFiscalAnswer);
    }
    if (!s.pendingLog.empty()) {
        w.Put("pending_log", s.pendingLog);
    }
    w.Text() += kEnd;
    w.Text() += '\n';
    return std::move(w.Text());
}

std::optional<DeviceState> ParseState(std::string_view text) {
    DeviceState state;
    bool headerSeen = false;
    bool endSeen = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find('\n', start);
        if (stop == std::string_view::npos) {
            stop = text.size();
        }
        std::string_view line = text.substr(start, stop - start);
        start = stop + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1); // edited with a Windows editor
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (endSeen) {
            return std::nullopt; // something after the end line
        }
        if (!headerSeen) {
            if (line != kHeader) {
                return std::nullopt;
            }
            headerSeen = true;
            continue;
        }
        if (line == kEnd) {
            endSeen = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            return std::nullopt;
        }
        const auto value = Unescape(line.substr(equals + 1));
        if (!value || !Apply(state, line.substr(0, equals), *value)) {
            return std::nullopt;
        }
    }
    if (!endSeen) {
        return std::nullopt;
    }
    if (state.activated && (state.activationCode.size() < 8 || state.activationCode.size() > 32 ||
                            !IsDigits(state.taxpayerCnpj, 14))) {
        return std::nullopt;
    }
    // The key and certificate must at least be PEM texts; whether OpenSSL
    // can use them is learnt when they are used, where a failure answers
    // xx099 and keeps the file as it is (an OpenSSL failure is not damage).
    const auto isPem = [](std::string_view pem, std::string_view label) {
        const std::size_t begin = pem.find("-----BEGIN ");
        const std::size_t end = pem.find("-----END ");
        return begin != std::string_view::npos && end != std::string_view::npos && begin < end &&
               pem.find(std::string(label) + "-----") != std::string_view::npos;
    };
    if ((!state.keyPem.empty() || !state.certificatePem.empty()) &&
        (!isPem(state.keyPem, "PRIVATE KEY") || !isPem(state.certificatePem, "CERTIFICATE"))) {
        return std::nullopt;
    }
    if (state.emergencyCode.empty()) {
        state.emergencyCode = EmergencyCodeFor(state.serial);
    }
    return state;
}

bool SaveStateAtomically(const std::string& path, const DeviceState& state, std::string& error) {
    return WriteFileDurably(path, SerializeState(state), error);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    if (IsSymbolicLink(path)) {
        return std::nullopt; // never read through one planted in the device's folder
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    // One allocation of the file's size, then whatever more it may have grown.
    std::string content;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        content.reserve(size > 0 ? static_cast<std::size_t>(size) : 0);
        std::rewind(file);
    }
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return std::nullopt;
    }
    return content;
}

} // namespace satemu
