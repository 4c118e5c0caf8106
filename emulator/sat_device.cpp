#include "emulator/sat_device.h"

#include "emulator/answers.h"
#include "emulator/device_clock.h"
#include "emulator/network_config.h"

#include <algorithm>

namespace satemu {

SatDevice::SatDevice(DeviceState state)
    : state_(std::move(state)), random_(std::random_device{}()) {}

bool SatDevice::SessionNumberFree(int session) const {
    return session >= 1 && session <= 999999 &&
           std::none_of(state_.sessions.begin(), state_.sessions.end(),
                        [&](const SessionRecord& r) { return r.number == session; });
}

void SatDevice::RecordSession(int session, const std::string& answer, int family) {
    if (session < 1 || session > 999999) {
        return; // not a session number the device can keep
    }
    std::erase_if(state_.sessions, [&](const SessionRecord& r) { return r.number == session; });
    if (family == kExtrairLogs) {
        // The log itself is not kept in the session memory: it can be tens
        // of megabytes. The session keeps the answer's five standard fields.
        std::size_t end = 0;
        for (int field = 0; field < 5 && end != std::string::npos; ++field) {
            end = answer.find('|', end == 0 ? 0 : end + 1);
        }
        state_.sessions.push_back({session, answer.substr(0, end)});
    } else {
        state_.sessions.push_back({session, answer});
    }
    while (state_.sessions.size() > kKeptSessions) {
        state_.sessions.pop_front();
    }
    if (family == kEnviarDadosVenda || family == kCancelarUltimaVenda) {
        state_.lastFiscalAnswer = answer;
    }
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
    if (++state_.wrongCodeAttempts >= kMaxWrongCodes && !state_.codeLocked) {
        state_.codeLocked = true;
        Log(c, "SAT", "ALERTA", "emissão bloqueada: código de ativação incorreto repetidas vezes");
    }
    return false;
}

bool SatDevice::SefazReachable(const CallContext& c) const {
    return !c.offline && HasNetworkLink(state_.network);
}

void SatDevice::Communicate(const CallContext& c) {
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
    if (state_.operationState == OperationState::BlockedAutonomous) {
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

EmulatedKey SatDevice::Key() const {
    return EmulatedKey(state_.serial + state_.taxpayerCnpj);
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
    ++state_.pendingDocuments;
    state_.pendingBytes += static_cast<std::int64_t>(bytes);
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
