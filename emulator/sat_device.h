#pragma once
// The emulated SAT-CF-e device: its state and one method per SAT function.
// Each method answers as the SAT standard describes; session numbers, the
// session history, the fault switches and persistence are the command
// frame's (command_frame.h).

#include "emulator/answer_store.h"
#include "emulator/device_key.h"
#include "emulator/device_state.h"
#include "emulator/event_log.h"
#include "emulator/sale_document.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace satemu {

// What a command needs from outside the device.
struct CallContext {
    std::int64_t now = 0;
    bool offline = false; // cable unplugged / SEFAZ unreachable
    EventLog* log = nullptr;
    const AnswerStore* answers = nullptr; // where remembered answers are kept
};

class SatDevice {
public:
    // After this many wrong activation codes in a row the device issues no
    // more documents (06009 / 07006) until the code is reset.
    static constexpr int kMaxWrongCodes = 10;
    // The device talks to SEFAZ (and transmits its working memory) at most
    // this often, and blocks itself after kAutonomousBlockAfter without it.
    static constexpr std::int64_t kCommunicationInterval = 5 * 60;
    static constexpr std::int64_t kAutonomousBlockAfter = 10 * 24 * 3600;
    // The last sale can be cancelled up to 30 minutes after it was issued.
    static constexpr std::int64_t kCancellationWindow = 30 * 60;

    // An activated device without a key yet (a developer kit at its first
    // start, a state file of an earlier version) gets its key here.
    SatDevice(DeviceState state, std::int64_t now);

    const DeviceState& State() const { return state_; }

    // The event log lines saved with the state (DeviceState::pendingLog).
    void SetPendingLog(std::string lines) { state_.pendingLog = std::move(lines); }

    // Session numbers: 1..999999 and not among the last kKeptSessions.
    bool SessionNumberFree(int session) const;
    // Keeps the answer of a session (of a log extraction only its first five
    // fields) in the answer store; a number used again (ConsultarSAT may)
    // keeps its newest answer. Throws when the answer cannot be written.
    void RecordSession(const CallContext& c, int session, const std::string& answer, int family);

    // Time-driven behaviour, before every command: the periodic communication
    // with SEFAZ and the autonomous block when it has failed for too long.
    void Housekeeping(const CallContext& context);

    std::string AtivarSAT(const CallContext& c, int session, int subCommand,
                          const std::string& code, const std::string& cnpj, int uf);
    std::string ComunicarCertificadoICPBRASIL(const CallContext& c, int session,
                                              const std::string& code,
                                              const std::string& certificate);
    // The document is read where the caller holds it: a sale of 500 items
    // is a third of a megabyte.
    std::string EnviarDadosVenda(const CallContext& c, int session, const std::string& code,
                                 std::string_view document);
    std::string CancelarUltimaVenda(const CallContext& c, int session, const std::string& code,
                                    const std::string& key, const std::string& document);
    std::string ConsultarSAT(const CallContext& c, int session);
    std::string TesteFimAFim(const CallContext& c, int session, const std::string& code,
                             const std::string& document);
    std::string ConsultarStatusOperacional(const CallContext& c, int session,
                                           const std::string& code);
    std::string ConsultarNumeroSessao(const CallContext& c, int session, const std::string& code,
                                      int wanted);
    std::string ConsultarUltimaSessaoFiscal(const CallContext& c, int session,
                                            const std::string& code);
    std::string ConfigurarInterfaceDeRede(const CallContext& c, int session,
                                          const std::string& code, const std::string& document);
    std::string AssociarAssinatura(const CallContext& c, int session, const std::string& code,
                                   const std::string& cnpjPair, const std::string& signature);
    std::string AtualizarSoftwareSAT(const CallContext& c, int session, const std::string& code);
    std::string ExtrairLogs(const CallContext& c, int session, const std::string& code);
    std::string BloquearSAT(const CallContext& c, int session, const std::string& code);
    std::string DesbloquearSAT(const CallContext& c, int session, const std::string& code);
    std::string TrocarCodigoDeAtivacao(const CallContext& c, int session, const std::string& code,
                                       int option, const std::string& newCode,
                                       const std::string& confirmation);

private:
    // True for the right activation code; wrong ones are counted.
    bool AcceptCode(const CallContext& c, const std::string& code);
    bool SefazReachable(const CallContext& c) const;
    void Communicate(const CallContext& c);
    void Log(const CallContext& c, const char* origin, const char* type, const std::string& text);
    // The signing key, made for the device's CNPJ and serial when it has none.
    const DeviceKey& Key(std::int64_t now);
    // A new key and certificate for the device's CNPJ and serial, valid from now.
    void MakeKey(std::int64_t now);
    // A remembered answer; throws when its file is lost.
    std::string Remembered(const CallContext& c, std::int64_t id, const std::string& inlineAnswer);
    SaleRules RulesForSales() const;
    int NextDocumentNumber() const;
    void KeepInWorkingMemory(const std::string& key, std::size_t bytes);
    // The refusal for a blocked device, 0 when it may issue documents.
    int BlockedCode(int family) const;

    DeviceState state_;
    std::optional<DeviceKey> key_;
    std::mt19937 random_;
};

} // namespace satemu
