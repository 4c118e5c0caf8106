// Maintenance: network interface, block, unblock and the software update.

#include "emulator/answers.h"
#include "emulator/document_numbers.h"
#include "emulator/network_config.h"
#include "emulator/sat_device.h"

namespace satemu {
namespace {

// "01.01.00": the form of VER_SB.
bool IsSoftwareVersion(const std::string& version) {
    return version.size() == 8 && version[2] == '.' && version[5] == '.' &&
           IsDigits(version.substr(0, 2), 2) && IsDigits(version.substr(3, 2), 2) &&
           IsDigits(version.substr(6, 2), 2);
}

} // namespace

std::string SatDevice::ConfigurarInterfaceDeRede(const CallContext& c, int session,
                                                 const std::string& code,
                                                 const std::string& document) {
    // Before activation any code is taken: the network must work first.
    if (state_.activated && !AcceptCode(c, code)) {
        return StandardAnswer(session, 12001);
    }
    const auto config = ParseNetworkConfig(document);
    if (!config) {
        return StandardAnswer(session, 12002);
    }
    state_.network = *config;
    Log(c, "SAT", "INFO", "interface de rede configurada: " + config->lanType);
    return StandardAnswer(session, 12000);
}

std::string SatDevice::BloquearSAT(const CallContext& c, int session, const std::string& code) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 16001);
    }
    if (state_.operationState != OperationState::Unblocked) {
        return StandardAnswer(session, 16002);
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 16003);
    }
    Communicate(c);
    state_.operationState = OperationState::BlockedByTaxpayer;
    Log(c, "SAT", "INFO", "equipamento bloqueado pelo contribuinte");
    return StandardAnswer(session, 16000);
}

std::string SatDevice::DesbloquearSAT(const CallContext& c, int session, const std::string& code) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 17001);
    }
    switch (state_.operationState) {
    case OperationState::Unblocked:
        return StandardAnswer(session, 17005);
    case OperationState::BlockedBySefaz:
        return StandardAnswer(session, 17003);
    case OperationState::BlockedAutonomous:
        return StandardAnswer(session, 17006);
    case OperationState::BlockedForRetirement:
        return StandardAnswer(session, 17007);
    case OperationState::BlockedByTaxpayer:
        break;
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 17004);
    }
    Communicate(c);
    state_.operationState = OperationState::Unblocked;
    Log(c, "SAT", "INFO", "equipamento desbloqueado");
    return StandardAnswer(session, 17000);
}

std::string SatDevice::AtualizarSoftwareSAT(const CallContext& c, int session,
                                            const std::string& code) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 14001);
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 14003);
    }
    Communicate(c);
    if (state_.availableUpdate.empty()) {
        return StandardAnswer(session, 14000); // already the newest version
    }
    if (!IsSoftwareVersion(state_.availableUpdate)) {
        return StandardAnswer(session, 14004);
    }
    Log(c, "SAT", "INFO",
        "software básico atualizado de " + state_.softwareVersion + " para " +
            state_.availableUpdate);
    state_.softwareVersion = state_.availableUpdate;
    state_.availableUpdate.clear();
    return StandardAnswer(session, 14000);
}

} // namespace satemu
