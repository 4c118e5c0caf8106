// Activation, the ICP-Brasil certificate, the signature association and the
// activation code change.

#include "emulator/answers.h"
#include "emulator/base64.h"
#include "emulator/device_clock.h"
#include "emulator/document_numbers.h"
#include "emulator/sat_device.h"
#include "emulator/text_encoding.h"

#include <stdexcept>

namespace satemu {
namespace {

bool IsActivationCodeLength(const std::string& code) {
    const std::size_t length = Utf8Length(code);
    return length >= 8 && length <= 32;
}

constexpr int kSaoPaulo = 35;

} // namespace

std::string SatDevice::AtivarSAT(const CallContext& c, int session, int subCommand,
                                 const std::string& code, const std::string& cnpj, int uf) {
    // The request is for the device's own key, made at the activation.
    const auto requestAnswer = [&](int answerCode) {
        const std::string request =
            Key(c.now).CertificateRequestPem({state_.serial, state_.taxpayerCnpj});
        return StandardAnswer(session, answerCode, {Base64Encode(request)});
    };
    if (subCommand < 1 || subCommand > 3) {
        return StandardAnswer(session, 4099);
    }
    if (subCommand == 3) {
        // Renewal of the ICP-Brasil certificate: only for an activated device
        // and with its activation code.
        if (!state_.activated || !AcceptCode(c, code)) {
            return StandardAnswer(session, 4007);
        }
        state_.icpRequestPending = true;
        Log(c, "SAT", "INFO", "CSR ICP-BRASIL de renovação criado");
        return requestAnswer(4006);
    }
    if (state_.activated) {
        return StandardAnswer(session, 4003);
    }
    if (!IsActivationCodeLength(code)) {
        return StandardAnswer(session, 4099);
    }
    // A São Paulo device: SEFAZ-SP knows only valid CNPJs of its own state.
    if (!IsValidCnpj(cnpj) || uf != kSaoPaulo) {
        return StandardAnswer(session, 4002);
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 4005);
    }
    state_.activated = true;
    state_.taxpayerCnpj = cnpj;
    state_.taxpayerIe.clear();
    state_.taxpayerName.clear();
    state_.ufCode = uf;
    state_.activationCode = code;
    state_.wrongCodeAttempts = 0;
    state_.codeLocked = false;
    state_.certificateIssued.clear();
    state_.certificateExpires.clear();
    MakeKey(c.now); // a new key and certificate for this taxpayer
    state_.icpRequestPending = subCommand == 2;
    Communicate(c);
    Log(c, "SAT", "INFO", "equipamento ativado para o CNPJ " + cnpj);
    if (subCommand == 2) {
        return requestAnswer(4006);
    }
    return requestAnswer(4000);
}

std::string SatDevice::ComunicarCertificadoICPBRASIL(const CallContext& c, int session,
                                                     const std::string& code,
                                                     const std::string& certificate) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 5001);
    }
    // The certificate must be for the key the request was made of.
    const auto validity = ReadCertificateValidity(certificate);
    DeviceKey key = Key(c.now);
    if (!state_.icpRequestPending || !validity || validity->notAfter < c.now ||
        validity->notBefore > c.now || !key.UseCertificate(certificate)) {
        return StandardAnswer(session, 5003);
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 5002);
    }
    key_ = key;
    state_.certificatePem = key.CertificatePem();
    state_.certificateIssued = FormatDate(validity->notBefore);
    state_.certificateExpires = FormatDate(validity->notAfter);
    state_.icpRequestPending = false;
    Communicate(c);
    Log(c, "SAT", "INFO", "certificado ICP-BRASIL instalado");
    return StandardAnswer(session, 5000);
}

std::string SatDevice::AssociarAssinatura(const CallContext& c, int session,
                                          const std::string& code, const std::string& cnpjPair,
                                          const std::string& signature) {
    if (!state_.activated || !AcceptCode(c, code)) {
        return StandardAnswer(session, 13001);
    }
    // CNPJvalue: the software house's CNPJ, then the taxpayer's.
    const std::string softwareHouse = cnpjPair.substr(0, 14);
    const std::string taxpayer = cnpjPair.size() >= 14 ? cnpjPair.substr(14) : std::string();
    if (!IsDigits(cnpjPair, 28) || !IsValidCnpj(softwareHouse) || !IsValidCnpj(taxpayer)) {
        return StandardAnswer(session, 13004);
    }
    if (taxpayer != state_.taxpayerCnpj) {
        return StandardAnswer(session, 13007);
    }
    // A production signature is the Base64 of an RSA-2048 signature (344
    // characters); the standard's test text stands for it on test kits and
    // is "signed" over the test pair only.
    const bool testText = signature == kTestSignature;
    std::string unwrapped; // a pasted signature may come broken into lines
    for (const char ch : signature) {
        if (ch != '\r' && ch != '\n') {
            unwrapped += ch;
        }
    }
    const auto decoded = testText ? std::nullopt : Base64Decode(unwrapped);
    if (!testText && (unwrapped.size() != 344 || !decoded || decoded->size() != 256)) {
        return StandardAnswer(session, 13003);
    }
    if (testText && (softwareHouse != kTestSoftwareHouseCnpj || taxpayer != kTestTaxpayerCnpj)) {
        return StandardAnswer(session, 13004);
    }
    if (!SefazReachable(c)) {
        return StandardAnswer(session, 13002);
    }
    state_.softwareHouseCnpj = softwareHouse;
    state_.acSignature = testText ? signature : unwrapped;
    Communicate(c);
    Log(c, "SAT", "INFO", "assinatura do AC registrada para a software house " + softwareHouse);
    return StandardAnswer(session, 13000);
}

std::string SatDevice::TrocarCodigoDeAtivacao(const CallContext& c, int session,
                                              const std::string& code, int option,
                                              const std::string& newCode,
                                              const std::string& confirmation) {
    if (!state_.activated) {
        return StandardAnswer(session, 18001);
    }
    if (option == 1) {
        // While documents are blocked for wrong codes only the emergency
        // code may reset the activation code.
        if (!AcceptCode(c, code) || state_.codeLocked) {
            return StandardAnswer(session, 18001);
        }
    } else if (option == 2) {
        if (code != state_.emergencyCode) {
            return StandardAnswer(session, 18002);
        }
    } else {
        return StandardAnswer(session, 18099);
    }
    if (!IsActivationCodeLength(newCode) || newCode != confirmation) {
        return StandardAnswer(session, 18001);
    }
    state_.activationCode = newCode;
    state_.wrongCodeAttempts = 0;
    state_.codeLocked = false;
    Log(c, "SAT", "INFO",
        option == 1 ? "código de ativação alterado"
                    : "código de ativação alterado com o código de emergência");
    return StandardAnswer(session, 18000);
}

} // namespace satemu
