// A scriptable stand-in for the SAT library. Every SAT function records its
// arguments and answers either the text a test set for it or a plausible
// success answer that echoes the session number.
//
// In-process tests script it through the control exports (fake_sat_api.h).
// Tests that run another program set DVT_FAKE_SAT_DIR to a folder: a file
// "<Export>.answer" there is the answer of that export (its bytes as they
// are), a file "<Export>.null" makes it answer a null pointer, a file
// "<Export>.delay" holding a number of milliseconds makes it answer that late,
// a file "<Export>.fault" holding "segv", "abort", "exit" or "hang" makes the
// call crash with SIGSEGV, abort, call exit(3) or never return, and every call
// writes its arguments to "<Export>.call" (one per line: "int N", "text T"
// with \\ \n \r escaped, or "null") and appends the export's name to
// "calls.log".
//
// Variants that lack exports are built from this file with
// FAKE_SAT_WITHOUT_<Export> defined.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sat/platform/calling_convention.h"
#include "tests/fake_sat/fake_sat_api.h"

namespace {

struct Argument {
    int kind = kFakeSatNumberArgument;
    std::int32_t number = 0;
    std::string text;
};

struct Script {
    bool null = false;
    std::string bytes;
};

struct ExportState {
    std::optional<Script> script;
    int delayMs = 0;
    int calls = 0;
    std::vector<Argument> lastArguments;
    std::string answer; // kept alive until the next call of the same export
};

struct FakeState {
    std::map<std::string, ExportState, std::less<>> exports;
    std::string sequence;
    std::set<std::thread::id> callers; // every thread that called a SAT function
};

// Calls come from the program's library thread while the test reads the
// records from its own.
std::mutex& StateMutex() {
    static std::mutex mutex;
    return mutex;
}

FakeState& State() {
    static FakeState state;
    return state;
}

Argument Number(std::int32_t value) {
    return {kFakeSatNumberArgument, value, {}};
}

Argument Text(const char* value) {
    if (value == nullptr) {
        return {kFakeSatNullTextArgument, 0, {}};
    }
    return {kFakeSatTextArgument, 0, value};
}

std::optional<std::filesystem::path> ScriptFolder() {
    const char* folder = std::getenv("DVT_FAKE_SAT_DIR");
    if (folder == nullptr || *folder == '\0') {
        return std::nullopt;
    }
    return std::filesystem::path(folder);
}

std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped.push_back(c);
        }
    }
    return escaped;
}

void RecordInFolder(const std::filesystem::path& folder, const std::string& name,
                    const std::vector<Argument>& arguments) {
    std::ofstream call(folder / (name + ".call"), std::ios::binary | std::ios::trunc);
    for (const Argument& argument : arguments) {
        if (argument.kind == kFakeSatNumberArgument) {
            call << "int " << argument.number << '\n';
        } else if (argument.kind == kFakeSatTextArgument) {
            call << "text " << Escaped(argument.text) << '\n';
        } else {
            call << "null\n";
        }
    }
    std::ofstream log(folder / "calls.log", std::ios::binary | std::ios::app);
    log << name << '\n';
}

std::optional<Script> ScriptInFolder(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    if (std::filesystem::exists(folder / (name + ".null"), error)) {
        return Script{true, {}};
    }
    std::ifstream answer(folder / (name + ".answer"), std::ios::binary | std::ios::ate);
    if (!answer) {
        return std::nullopt;
    }
    // Read whole, in one call: answers run to tens of MB in the benchmarks.
    Script script{false, std::string(static_cast<std::size_t>(answer.tellg()), '\0')};
    answer.seekg(0);
    answer.read(script.bytes.data(), static_cast<std::streamsize>(script.bytes.size()));
    return script;
}

// A misbehaving maker's library, as a test scripts it: the call crashes, ends
// the process or never returns.
void FaultInFolder(const std::filesystem::path& folder, const std::string& name) {
    std::ifstream file(folder / (name + ".fault"));
    std::string fault;
    if (!(file >> fault)) {
        return;
    }
    if (fault == "segv") {
        std::raise(SIGSEGV);
    } else if (fault == "abort") {
        std::abort();
    } else if (fault == "exit") {
        std::exit(3);
    } else if (fault == "hang") {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::hours(1));
        }
    }
}

int DelayInFolder(const std::filesystem::path& folder, const std::string& name) {
    std::ifstream delay(folder / (name + ".delay"));
    int milliseconds = 0;
    return delay >> milliseconds ? milliseconds : 0;
}

// Records the call and picks the answer: the folder's script, else the
// test's script, else defaultAnswer.
const char* Answer(const std::string& name, std::vector<Argument> arguments,
                   std::string defaultAnswer) {
    std::unique_lock lock(StateMutex());
    FakeState& state = State();
    ExportState& entry = state.exports[name];
    ++entry.calls;
    state.callers.insert(std::this_thread::get_id());
    if (!state.sequence.empty()) {
        state.sequence.push_back(',');
    }
    state.sequence += name;

    // A folder's script is read for this call alone and becomes the answer
    // itself; a test's script stays for the next calls and is copied.
    std::optional<Script> fromFolder;
    int delayMs = entry.delayMs;
    if (const auto folder = ScriptFolder()) {
        RecordInFolder(*folder, name, arguments);
        lock.unlock();
        FaultInFolder(*folder, name);
        lock.lock();
        fromFolder = ScriptInFolder(*folder, name);
        delayMs = std::max(delayMs, DelayInFolder(*folder, name));
    }
    if (delayMs > 0) {
        // A slow device: the call is counted at once, the answer comes late.
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        lock.lock();
    }
    entry.lastArguments = std::move(arguments);
    const std::optional<Script>& script = fromFolder ? fromFolder : entry.script;
    if (script && script->null) {
        return nullptr;
    }
    if (fromFolder) {
        entry.answer = std::move(fromFolder->bytes);
    } else {
        entry.answer = script ? script->bytes : std::move(defaultAnswer);
    }
    return entry.answer.c_str();
}

std::string Session(std::int32_t session) {
    return std::to_string(session);
}

const ExportState* Find(const char* exportName) {
    const auto found = State().exports.find(exportName);
    return found == State().exports.end() ? nullptr : &found->second;
}

const Argument* FindArgument(const char* exportName, int index) {
    const ExportState* entry = Find(exportName);
    if (entry == nullptr || index < 0 ||
        static_cast<std::size_t>(index) >= entry->lastArguments.size()) {
        return nullptr;
    }
    return &entry->lastArguments[static_cast<std::size_t>(index)];
}

} // namespace

// ---- Control exports ------------------------------------------------------

FAKE_SAT_EXPORT void FakeSat_Reset() {
    const std::lock_guard lock(StateMutex());
    State() = FakeState{};
}

FAKE_SAT_EXPORT void FakeSat_SetAnswer(const char* exportName, const char* bytes,
                                       std::size_t length) {
    const std::lock_guard lock(StateMutex());
    State().exports[exportName].script = Script{false, std::string(bytes, length)};
}

FAKE_SAT_EXPORT void FakeSat_SetNullAnswer(const char* exportName) {
    const std::lock_guard lock(StateMutex());
    State().exports[exportName].script = Script{true, {}};
}

FAKE_SAT_EXPORT void FakeSat_SetDelay(const char* exportName, int milliseconds) {
    const std::lock_guard lock(StateMutex());
    State().exports[exportName].delayMs = milliseconds;
}

FAKE_SAT_EXPORT int FakeSat_CallCount(const char* exportName) {
    const std::lock_guard lock(StateMutex());
    const ExportState* entry = Find(exportName);
    return entry == nullptr ? 0 : entry->calls;
}

FAKE_SAT_EXPORT int FakeSat_CallerThreadCount() {
    const std::lock_guard lock(StateMutex());
    return static_cast<int>(State().callers.size());
}

FAKE_SAT_EXPORT int FakeSat_CalledFromThisThread() {
    const std::lock_guard lock(StateMutex());
    return State().callers.count(std::this_thread::get_id()) != 0 ? 1 : 0;
}

FAKE_SAT_EXPORT int FakeSat_LastArgumentCount(const char* exportName) {
    const std::lock_guard lock(StateMutex());
    const ExportState* entry = Find(exportName);
    return entry == nullptr ? 0 : static_cast<int>(entry->lastArguments.size());
}

FAKE_SAT_EXPORT int FakeSat_LastArgumentKind(const char* exportName, int index) {
    const std::lock_guard lock(StateMutex());
    const Argument* argument = FindArgument(exportName, index);
    return argument == nullptr ? -1 : argument->kind;
}

FAKE_SAT_EXPORT std::int32_t FakeSat_LastNumberArgument(const char* exportName, int index) {
    const std::lock_guard lock(StateMutex());
    const Argument* argument = FindArgument(exportName, index);
    return argument == nullptr ? 0 : argument->number;
}

FAKE_SAT_EXPORT const char* FakeSat_LastTextArgument(const char* exportName, int index,
                                                     std::size_t* length) {
    const std::lock_guard lock(StateMutex());
    const Argument* argument = FindArgument(exportName, index);
    if (argument == nullptr || argument->kind != kFakeSatTextArgument) {
        *length = 0;
        return nullptr;
    }
    *length = argument->text.size();
    return argument->text.data();
}

FAKE_SAT_EXPORT const char* FakeSat_CallSequence() {
    const std::lock_guard lock(StateMutex());
    return State().sequence.c_str();
}

// ---- The SAT functions ----------------------------------------------------

#ifndef FAKE_SAT_WITHOUT_AssociarAssinatura
FAKE_SAT_EXPORT const char* DVT_SATCALL AssociarAssinatura(std::int32_t sessao,
                                                           const char* codigoDeAtivacao,
                                                           const char* CNPJvalue,
                                                           const char* assinaturaCNPJs) {
    return Answer("AssociarAssinatura",
                  {Number(sessao), Text(codigoDeAtivacao), Text(CNPJvalue), Text(assinaturaCNPJs)},
                  Session(sessao) + "|13000|Assinatura do AC registrada||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_AtivarSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL AtivarSAT(std::int32_t sessao, std::int32_t subComando,
                                                  const char* codigoDeAtivacao, const char* CNPJ,
                                                  std::int32_t cUF) {
    return Answer(
        "AtivarSAT",
        {Number(sessao), Number(subComando), Text(codigoDeAtivacao), Text(CNPJ), Number(cUF)},
        Session(sessao) + "|04000|Ativado corretamente|||"
                          "LS0tLS1CRUdJTiBDRVJUSUZJQ0FURSBSRVFVRVNULS0tLS0KTUlJQmZha2VD"
                          "U1IKLS0tLS1FTkQgQ0VSVElGSUNBVEUgUkVRVUVTVC0tLS0tCg==");
}
#endif

#ifndef FAKE_SAT_WITHOUT_AtualizarSoftwareSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL AtualizarSoftwareSAT(std::int32_t sessao,
                                                             const char* codigoDeAtivacao) {
    return Answer("AtualizarSoftwareSAT", {Number(sessao), Text(codigoDeAtivacao)},
                  Session(sessao) + "|14000|Software atualizado com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_BloquearSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL BloquearSAT(std::int32_t sessao,
                                                    const char* codigoDeAtivacao) {
    return Answer("BloquearSAT", {Number(sessao), Text(codigoDeAtivacao)},
                  Session(sessao) + "|16000|Equipamento SAT bloqueado com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_CancelarUltimaVenda
FAKE_SAT_EXPORT const char* DVT_SATCALL CancelarUltimaVenda(std::int32_t sessao,
                                                            const char* codigoDeAtivacao,
                                                            const char* chave,
                                                            const char* dadosCancelamento) {
    return Answer("CancelarUltimaVenda",
                  {Number(sessao), Text(codigoDeAtivacao), Text(chave), Text(dadosCancelamento)},
                  Session(sessao) +
                      "|07000|0000|Cupom cancelado com sucesso|||"
                      "PENGZUNhbmM+PGluZkNGZSB2ZXJzYW89IjAuMDciLz48L0NGZUNhbmM+|20150718160000|"
                      "CFe35150708723218000186599000040190000215133408|2.00||c2lnbmF0dXJl");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ComunicarCertificadoICPBRASIL
FAKE_SAT_EXPORT const char* DVT_SATCALL ComunicarCertificadoICPBRASIL(std::int32_t sessao,
                                                                      const char* codigoDeAtivacao,
                                                                      const char* certificado) {
    return Answer("ComunicarCertificadoICPBRASIL",
                  {Number(sessao), Text(codigoDeAtivacao), Text(certificado)},
                  Session(sessao) + "|05000|Certificado transmitido com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ConfigurarInterfaceDeRede
FAKE_SAT_EXPORT const char* DVT_SATCALL ConfigurarInterfaceDeRede(std::int32_t sessao,
                                                                  const char* codigoDeAtivacao,
                                                                  const char* dadosConfiguracao) {
    return Answer("ConfigurarInterfaceDeRede",
                  {Number(sessao), Text(codigoDeAtivacao), Text(dadosConfiguracao)},
                  Session(sessao) + "|12000|Rede configurada com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ConsultarSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL ConsultarSAT(std::int32_t sessao) {
    return Answer("ConsultarSAT", {Number(sessao)}, Session(sessao) + "|08000|SAT em operação||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_DesligarSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL DesligarSAT() {
    return Answer("DesligarSAT", {}, "0|01000|SAT desligado||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ConsultarStatusOperacional
FAKE_SAT_EXPORT const char* DVT_SATCALL ConsultarStatusOperacional(std::int32_t sessao,
                                                                   const char* codigoDeAtivacao) {
    return Answer("ConsultarStatusOperacional", {Number(sessao), Text(codigoDeAtivacao)},
                  Session(sessao) +
                      "|10000|Resposta com sucesso|||900004019|DHCP|010.000.000.108|"
                      "00:11:22:33:44:55|255.255.255.000|010.000.000.001|008.008.008.008|"
                      "008.008.004.004|CONECTADO|ALTO|4 GB|260 MB|20151110084752|01.00.00|00.07|"
                      "35150708723218000186599000040190000215133408|"
                      "00000000000000000000000000000000000000000000|"
                      "00000000000000000000000000000000000000000000|20151110084000|"
                      "20151110083000|20150101|20200101|0");
}
#endif

#ifndef FAKE_SAT_WITHOUT_DesbloquearSAT
FAKE_SAT_EXPORT const char* DVT_SATCALL DesbloquearSAT(std::int32_t sessao,
                                                       const char* codigoDeAtivacao) {
    return Answer("DesbloquearSAT", {Number(sessao), Text(codigoDeAtivacao)},
                  Session(sessao) + "|17000|Equipamento SAT desbloqueado com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_EnviarDadosVenda
FAKE_SAT_EXPORT const char* DVT_SATCALL EnviarDadosVenda(std::int32_t sessao,
                                                         const char* codigoDeAtivacao,
                                                         const char* dadosVenda) {
    return Answer("EnviarDadosVenda", {Number(sessao), Text(codigoDeAtivacao), Text(dadosVenda)},
                  Session(sessao) +
                      "|06000|0000|Emitido com sucesso + conteúdo notas|||"
                      "PENGZT48aW5mQ0ZlIHZlcnNhbz0iMC4wNyIvPjwvQ0ZlPg==|20150718154423|"
                      "CFe35150708723218000186599000040190000215133408|2.00||c2lnbmF0dXJl");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ExtrairLogs
FAKE_SAT_EXPORT const char* DVT_SATCALL ExtrairLogs(std::int32_t sessao,
                                                    const char* codigoDeAtivacao) {
    return Answer("ExtrairLogs", {Number(sessao), Text(codigoDeAtivacao)},
                  Session(sessao) + "|15000|Transferência completa|||"
                                    "MjAxNTA3MTgxNTQ0MjN8U0FUfElORk98SW5pY2lhbGl6YcOnw6NvCjIwMTUw"
                                    "NzE4MTU0NTAwfFNBVHxJTkZPfENvbnN1bHRhCg==");
}
#endif

#ifndef FAKE_SAT_WITHOUT_TesteFimAFim
FAKE_SAT_EXPORT const char* DVT_SATCALL TesteFimAFim(std::int32_t sessao,
                                                     const char* codigoDeAtivacao,
                                                     const char* dadosVenda) {
    return Answer("TesteFimAFim", {Number(sessao), Text(codigoDeAtivacao), Text(dadosVenda)},
                  Session(sessao) +
                      "|09000|Emitido com sucesso|||"
                      "PENGZT48aW5mQ0ZlIHZlcnNhbz0iMC4wNyIvPjwvQ0ZlPg==|20150718154423|000001|"
                      "CFe35150708723218000186599000040190000215133408");
}
#endif

#ifndef FAKE_SAT_WITHOUT_TrocarCodigoDeAtivacao
FAKE_SAT_EXPORT const char* DVT_SATCALL TrocarCodigoDeAtivacao(std::int32_t sessao,
                                                               const char* codigoDeAtivacao,
                                                               std::int32_t opcao,
                                                               const char* novoCodigo,
                                                               const char* confNovoCodigo) {
    return Answer("TrocarCodigoDeAtivacao",
                  {Number(sessao), Text(codigoDeAtivacao), Number(opcao), Text(novoCodigo),
                   Text(confNovoCodigo)},
                  Session(sessao) + "|18000|Código de ativação alterado com sucesso||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_ConsultarNumeroSessao
FAKE_SAT_EXPORT const char* DVT_SATCALL ConsultarNumeroSessao(std::int32_t sessao,
                                                              const char* codigoDeAtivacao,
                                                              std::int32_t cNumeroDeSessao) {
    return Answer("ConsultarNumeroSessao",
                  {Number(sessao), Text(codigoDeAtivacao), Number(cNumeroDeSessao)},
                  Session(sessao) + "|11003|Sessão não existe||");
}
#endif

#ifndef FAKE_SAT_WITHOUT_VersaoDLL
FAKE_SAT_EXPORT const char* DVT_SATCALL VersaoDLL() {
    return Answer("VersaoDLL", {}, "01.00.00");
}
#endif
