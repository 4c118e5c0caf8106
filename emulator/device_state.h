#pragma once
// Everything the emulated device remembers. It is saved to the state file
// after every command, so the device survives the program's restarts.

#include "emulator/network_config.h"

#include <cstdint>
#include <deque>
#include <string>

namespace satemu {

// ESTADO_OPERACAO of the status answer.
enum class OperationState : int {
    Unblocked = 0,            // DESBLOQUEADO
    BlockedBySefaz = 1,       // BLOQUEIO SEFAZ
    BlockedByTaxpayer = 2,    // BLOQUEIO CONTRIBUINTE
    BlockedAutonomous = 3,    // BLOQUEIO AUTÔNOMO (no communication for too long)
    BlockedForRetirement = 4, // BLOQUEIO PARA DESATIVAÇÃO
};

// The developer kit's identities, those the SAT standard publishes for tests.
inline constexpr const char* kTestTaxpayerCnpj = "61099008000141";
inline constexpr const char* kTestTaxpayerIe = "111111111111";
inline constexpr const char* kTestSoftwareHouseCnpj = "16716114000172";
inline constexpr const char* kTestSignature = "SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT";
inline constexpr const char* kKitActivationCode = "12345678";

// The largest counts and amounts the state file takes. Counters stop there
// rather than reach a value their own reader would refuse.
inline constexpr int kMaxCounter = 1'000'000;
inline constexpr std::int64_t kMaxLargeValue = 1'000'000'000'000'000;

// One more, stopping at `cap`.
template <typename T> void CountUp(T& counter, T cap) {
    if (counter < cap) {
        ++counter;
    }
}

// How many session answers the device keeps, and so how long a session
// number stays taken.
inline constexpr std::size_t kKeptSessions = 100;

// A remembered session: its answer lives in the answer store (answer_store.h)
// under answerId. State files of earlier versions held the answer itself,
// kept in `answer` until it is moved to the store.
struct SessionRecord {
    int number = 0;
    std::int64_t answerId = 0;
    std::string answer;
};

// The last sale, the only one that can still be cancelled.
struct SaleRecord {
    int number = 0;  // nCFe
    std::string key; // 44 digits
    std::int64_t issuedAt = 0;
    std::int64_t totalCents = 0;
    std::string buyer; // CPF or CNPJ of the buyer, may be empty
    bool cancelled = false;
    std::string municipalRegistration; // emit/IM as the sale had it, repeated by its cancellation
};

struct DeviceState {
    std::string serial = "900012345";
    bool developerKit = false;

    bool activated = false;
    std::string taxpayerCnpj;
    std::string taxpayerIe; // empty: any well-formed IE is taken
    std::string taxpayerName;
    int ufCode = 0;
    std::string activationCode;
    std::string emergencyCode;
    int wrongCodeAttempts = 0;
    bool codeLocked = false; // too many wrong codes: no sale until the code is reset

    std::string softwareHouseCnpj; // empty: no signature associated
    std::string acSignature;

    OperationState operationState = OperationState::Unblocked;
    NetworkConfig network;
    std::string batteryLevel = "ALTO";

    // The signing key and its certificate (PEM), made at activation (for a
    // developer kit at its first start); empty until then.
    std::string keyPem;
    std::string certificatePem;
    std::string certificateIssued;  // AAAAMMDD
    std::string certificateExpires; // AAAAMMDD
    bool icpRequestPending = false; // a CSR waits for its ICP-Brasil certificate

    std::string softwareVersion = "01.00.00";
    std::string availableUpdate = "01.01.00"; // empty: up to date

    int lastDocumentNumber = 0; // nCFe of the last sale or cancellation
    int testDocuments = 0;      // end-to-end tests made
    std::int64_t salesIssued = 0;
    std::int64_t salesCancelled = 0;
    SaleRecord lastSale;
    std::string lastDocumentKey; // sale or cancellation, 44 digits

    // Working memory: documents not yet transmitted to SEFAZ.
    std::string pendingFirstKey;
    std::string pendingLastKey;
    int pendingDocuments = 0;
    std::int64_t pendingBytes = 0;

    std::int64_t createdAt = 0;
    std::int64_t lastTransmission = 0;  // 0: never
    std::int64_t lastCommunication = 0; // 0: never

    std::deque<SessionRecord> sessions; // oldest first, at most kKeptSessions
    // The last 06xxx/07xxx answer: in the answer store (0: none), or from an
    // earlier version's state file, inline until moved.
    std::int64_t lastFiscalAnswerId = 0;
    std::string lastFiscalAnswer;
    std::int64_t nextAnswerId = 1; // the answer store's next file

    // The event log lines of the command this state was saved by. They reach
    // the log right after the save; when the process died in between, the
    // next load appends what the log is missing, so a kept command is always
    // listed and an undone one never.
    std::string pendingLog;
};

// A device as it leaves the factory: not activated, DHCP network.
DeviceState MakeFactoryFresh(std::int64_t now);

// A developer kit: activated for the standard's test taxpayer with the kit's
// activation code, and associated with the test software house.
DeviceState MakeDeveloperKit(std::int64_t now);

// The device's emergency code, printed on its label: "EMERG" and its serial.
std::string EmergencyCodeFor(const std::string& serial);

} // namespace satemu
