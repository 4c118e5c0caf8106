// The queries: general query, operational status, session lookup, last
// fiscal session and the log extraction.

#include "emulator/answers.h"
#include "emulator/base64.h"
#include "emulator/device_clock.h"
#include "emulator/network_config.h"
#include "emulator/sat_device.h"

#include <cstdio>
#include <cstdlib>

namespace satemu {
namespace {

constexpr const char* kLayoutVersion = "00.08";
constexpr std::int64_t kWorkingMemoryBytes = 1024LL * 1024 * 1024;

std::string KeyOrZeros(const std::string& key) {
    return key.empty() ? std::string(44, '0') : key;
}

std::string StampOrEmpty(std::int64_t epoch) {
    return epoch > 0 ? FormatStamp(epoch) : "";
}

// A locally administered MAC address made from the serial number.
std::string MacAddress(const std::string& serial) {
    const unsigned long value = std::strtoul(serial.c_str(), nullptr, 10);
    char text[32];
    std::snprintf(text, sizeof text, "02:53:41:%02X:%02X:%02X",
                  static_cast<unsigned>((value >> 16) & 0xFF),
                  static_cast<unsigned>((value >> 8) & 0xFF), static_cast<unsigned>(value & 0xFF));
    return text;
}

std::string LanTypeShown(const std::string& lanType) {
    return lanType == "PPPOE" ? "PPPoE" : lanType;
}

} // namespace

std::string SatDevice::ConsultarSAT(const CallContext&, int session) {
    return StandardAnswer(session, 8000);
}

std::string SatDevice::ConsultarStatusOperacional(const CallContext& c, int session,
                                                  const std::string& code) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 10001);
    }
    const bool linked = !c.offline && HasNetworkLink(state_.network);
    const ShownAddresses addresses = AddressesInUse(state_.network, linked);
    const std::string pendingFirst = KeyOrZeros(state_.pendingFirstKey);
    const std::string pendingLast = KeyOrZeros(state_.pendingLastKey);
    std::vector<std::string> fields = {
        std::to_string(session),
        ReturnCode(10000),
        std::string(MessageFor(10000)),
        "",
        "",
        state_.serial,
        LanTypeShown(state_.network.lanType),
        addresses.ip,
        MacAddress(state_.serial),
        addresses.mask,
        addresses.gateway,
        addresses.dns1,
        addresses.dns2,
        linked ? "CONECTADO" : "NAO_CONECTADO",
        state_.batteryLevel,
        std::to_string(kWorkingMemoryBytes),
        std::to_string(state_.pendingBytes),
        FormatStamp(c.now),
        state_.softwareVersion,
        kLayoutVersion,
        KeyOrZeros(state_.lastDocumentKey),
        pendingFirst,
        pendingLast,
        StampOrEmpty(state_.lastTransmission),
        StampOrEmpty(state_.lastCommunication),
        state_.certificateIssued,
        state_.certificateExpires,
        std::to_string(static_cast<int>(state_.operationState)),
    };
    return JoinFields(fields);
}

std::string SatDevice::ConsultarNumeroSessao(const CallContext& c, int session,
                                             const std::string& code, int wanted) {
    if (!state_.activated) {
        return StandardAnswer(session, 11002);
    }
    if (!AcceptCode(c, code)) {
        return StandardAnswer(session, 11001);
    }
    for (const SessionRecord& record : state_.sessions) {
        if (record.number == wanted) {
            return Remembered(c, record.answerId, record.answer);
        }
    }
    return StandardAnswer(session, 11003);
}

std::string SatDevice::ConsultarUltimaSessaoFiscal(const CallContext& c, int session,
                                                   const std::string& code) {
    if (!state_.activated) {
        return StandardAnswer(session, 19002);
    }
    if (!AcceptCode(c, code)) {
        return StandardAnswer(session, 19001);
    }
    if (state_.lastFiscalAnswerId == 0 && state_.lastFiscalAnswer.empty()) {
        return StandardAnswer(session, 19003);
    }
    return Remembered(c, state_.lastFiscalAnswerId, state_.lastFiscalAnswer);
}

std::string SatDevice::ExtrairLogs(const CallContext& c, int session, const std::string& code) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 15001);
    }
    const auto text = c.log ? c.log->ReadAll() : std::optional<std::string>(std::string());
    if (!text) {
        return StandardAnswer(session, 15099);
    }
    std::string answer = StandardAnswer(session, 15000);
    answer += '|';
    AppendBase64(answer, *text);
    return answer;
}

} // namespace satemu
