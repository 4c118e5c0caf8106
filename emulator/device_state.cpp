#include "emulator/device_state.h"

#include "emulator/device_clock.h"

namespace satemu {

std::string EmergencyCodeFor(const std::string& serial) {
    return "EMERG" + serial;
}

DeviceState MakeFactoryFresh(std::int64_t now) {
    DeviceState state;
    state.emergencyCode = EmergencyCodeFor(state.serial);
    state.createdAt = now;
    return state;
}

DeviceState MakeDeveloperKit(std::int64_t now) {
    DeviceState state = MakeFactoryFresh(now);
    state.developerKit = true;
    state.activated = true;
    state.taxpayerCnpj = kTestTaxpayerCnpj;
    state.taxpayerIe = kTestTaxpayerIe;
    state.taxpayerName = "CONTRIBUINTE DE TESTE DO KIT SAT";
    state.ufCode = 35;
    state.activationCode = kKitActivationCode;
    state.softwareHouseCnpj = kTestSoftwareHouseCnpj;
    state.acSignature = kTestSignature;
    state.certificateIssued = FormatDate(now);
    state.certificateExpires = FormatDate(AddYears(now, 5));
    state.lastCommunication = now;
    return state;
}

} // namespace satemu
