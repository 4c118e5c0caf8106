#include "emulator/sat_device.h"

#include "emulator/answers.h"
#include "emulator/device_clock.h"
#include "emulator/network_config.h"
#include "emulator/openssl_handles.h"

#include <algorithm>
#include <stdexcept>

namespace satemu {

SatDevice::SatDevice(DeviceState state, std::int64_t now)
    : state_(std::move(state)), random_(std::random_device{}()) {
    if (state_.activated) {
        Key(now);
    }
}

bool SatDevice::SessionNumberFree(int session) const {
    return session >= 1 && session <= 999999 &&
           std::none_of(state_.sessions.begin(), state_.sessions.end(),
                        [&](const SessionRecord& r) { return r.number == session; });
}

void SatDevice::RecordSession(const CallContext& c, int session, const std::string& answer,
                              int family) {
    if (session < 1 || session > 999999) {
        return; // not a session number the device can keep
    }
    if (!c.answers) {
        throw std::logic_error("no answer store");
    }
    std::string_view kept = answer;
    if (family == kExtrairLogs) {
        // The log itself is not kept in the session memory: it can be tens
        // of megabytes. The session keeps the answer's five standard fields.
        std::size_t end = 0;
        for (int field = 0; field < 5 && end != std::string::npos; ++field) {
            end = answer.find('|', end == 0 ? 0 : end + 1);
        }
        kept = kept.substr(0, end);
    }
    std::int64_t id = 0;
    if (!c.answers->Add(state_, kept, id)) {
        throw std::runtime_error("the session's answer cannot be written");
    }
    std::erase_if(state_.sessions, [&](const SessionRecord& r) { return r.number == session; });
    state_.sessions.push_back({session, id, {}});
    while (state_.sessions.size() > kKeptSessions) {
        state_.sessions.pop_front();
    }
    if (family == kEnviarDadosVenda || family == kCancelarUltimaVenda) {
        // The same file serves both the session and the last fiscal answer.
        state_.lastFiscalAnswerId = id;
        state_.lastFiscalAnswer.clear();
    }
}

std::string SatDevice::Remembered(const CallContext& c, std::int64_t id,
                                  const std::string& inlineAnswer) {
    auto answer = RememberedAnswer(c.answers, id, inlineAnswer);
    if (!answer) {
        throw std::runtime_error("a remembered answer is lost");
    }
    return std::move(*answer);
}

void SatDevice::Housekeeping(const CallContext& c) {
    if (!state_.activated) {
        return;
    }
    if (SefazReachable(c)) {
        if (c.now - state_.lastCommunication >= kCommunicationInterval ||
            state_.operationState == OperationState::BlockedAutonomous) {
            Communicate(c);
        }
        return;
    }
    if (state_.operationState == OperationState::Unblocked && state_.lastCommunication > 0 &&
        c.now - state_.lastCommunication > kAutonomousBlockAfter) {
        state_.operationState = OperationState::BlockedAutonomous;
        Log(c, "SAT", "ALERTA", "bloqueio autônomo: sem comunicação com a SEFAZ");
    }
}

bool SatDevice::AcceptCode(const CallContext& c, const std::string& code) {
    if (code == state_.activationCode) {
        state_.wrongCodeAttempts = 0;
        return true;
    }
    CountUp(state_.wrongCodeAttempts, kMaxCounter);
    if (state_.wrongCodeAttempts >= kMaxWrongCodes && !state_.codeLocked) {
        state_.codeLocked = true;
        Log(c, "SAT", "ALERTA", "emissão bloqueada: código de ativação incorreto repetidas vezes");
    }
    return false;
}

bool SatDevice::SefazReachable(const CallContext& c) const {
    return !c.offline && HasNetworkLink(state_.network);
}

void SatDevice::Communicate(const CallContext& c) {
    // Only a block the device put on itself for the silence ends when SEFAZ
    // answers again; an autonomous block of another cause (one written into
    // the state file, for one) stays.
    const bool silenceEnds =
        state_.lastCommunication > 0 && c.now - state_.lastCommunication > kAutonomousBlockAfter;
    state_.lastCommunication = c.now;
    if (state_.pendingDocuments > 0) {
        Log(c, "SEFAZ", "INFO",
            "transmitidos " + std::to_string(state_.pendingDocuments) + " CF-e-SAT");
        state_.lastTransmission = c.now;
        state_.pendingDocuments = 0;
        state_.pendingBytes = 0;
        state_.pendingFirstKey.clear();
        state_.pendingLastKey.clear();
    }
    if (state_.operationState == OperationState::BlockedAutonomous && silenceEnds) {
        state_.operationState = OperationState::Unblocked;
        Log(c, "SAT", "INFO", "bloqueio autônomo encerrado: comunicação com a SEFAZ OK");
    }
}

void SatDevice::Log(const CallContext& c, const char* origin, const char* type,
                    const std::string& text) {
    if (c.log) {
        c.log->Append(c.now, origin, type, text);
    }
}

const DeviceKey& SatDevice::Key(std::int64_t now) {
    if (!key_ && !state_.keyPem.empty()) {
        key_ = DeviceKey::FromPem(state_.keyPem, state_.certificatePem);
        if (!key_) {
            // Never a new key in its place: documents already issued name
            // this one. The command fails and the state stays as it is.
            throw OpenSslError("leitura da chave do equipamento");
        }
    }
    if (!key_) {
        MakeKey(now);
    }
    return *key_;
}

void SatDevice::MakeKey(std::int64_t now) {
    // A certificate already on record keeps its dates.
    const auto issued = ParseDeviceStamp(state_.certificateIssued + "000000");
    const auto expires = ParseDeviceStamp(state_.certificateExpires + "000000");
    const std::int64_t notBefore = issued ? *issued : now;
    const std::int64_t notAfter = expires && *expires > notBefore ? *expires : AddYears(now, 5);
    key_ = DeviceKey::Create({state_.serial, state_.taxpayerCnpj}, notBefore, notAfter);
    state_.keyPem = key_->KeyPem();
    state_.certificatePem = key_->CertificatePem();
    state_.certificateIssued = FormatDate(notBefore);
    state_.certificateExpires = FormatDate(notAfter);
}

SaleRules SatDevice::RulesForSales() const {
    SaleRules rules;
    if (!state_.softwareHouseCnpj.empty()) {
        rules.softwareHouses.push_back({state_.softwareHouseCnpj, state_.acSignature});
    }
    rules.taxpayers.push_back({state_.taxpayerCnpj, state_.taxpayerIe});
    return rules;
}

int SatDevice::NextDocumentNumber() const {
    return state_.lastDocumentNumber >= 999999 ? 1 : state_.lastDocumentNumber + 1;
}

void SatDevice::KeepInWorkingMemory(const std::string& key, std::size_t bytes) {
    if (state_.pendingDocuments == 0) {
        state_.pendingFirstKey = key;
    }
    state_.pendingLastKey = key;
    CountUp(state_.pendingDocuments, kMaxCounter);
    state_.pendingBytes =
        std::min(state_.pendingBytes + static_cast<std::int64_t>(bytes), kMaxLargeValue);
    state_.lastDocumentKey = key;
}

int SatDevice::BlockedCode(int family) const {
    // 06006/06007/06008 and 07003/07004/07005: taxpayer, SEFAZ, no communication.
    const int base = family * 1000 + (family == kEnviarDadosVenda ? 6 : 3);
    switch (state_.operationState) {
    case OperationState::BlockedByTaxpayer:
        return base;
    case OperationState::BlockedBySefaz:
    case OperationState::BlockedForRetirement:
        return base + 1;
    case OperationState::BlockedAutonomous:
        return base + 2;
    case OperationState::Unblocked:
        break;
    }
    return 0;
}

} // namespace satemu
