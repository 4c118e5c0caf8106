#pragma once
// The SAT session: the shared state of one run of the program (session
// number, operation parameters, LastResponse, status record, the loaded
// library and its entry points) and the operations the pages call. The main
// window owns one; each test creates its own.
//
// Texts are Windows-1252. The pages and field rules write the parameters,
// call a Run operation, and read LastResponse (and StatusOperacional) right
// after it. Run operations never throw: any failure is a plain false.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sat/dll_wrappers.h"
#include "sat/library_access.h"
#include "sat/session_counter.h"
#include "sat/status_operacional.h"
#include "sat/un_funcoes_dll.h"
#include "sat/user_interface.h"

class SatSession {
public:
    // settingsFilePath: the profile file holding the session counter;
    // satLibraryPath: the full path of the SAT library.
    // userSettingsFilePath: the user's copy of the settings file, used while
    // settingsFilePath cannot be written; none when empty. Without them, the
    // counter's copies of this install (SessionCounterCopiesOfThisInstall)
    // and the library beside the running program ("libdllsat.so").
    explicit SatSession(SatUserInterface& ui);
    SatSession(SatUserInterface& ui, std::string settingsFilePath, std::string satLibraryPath,
               std::string userSettingsFilePath = {});

    ~SatSession();
    SatSession(const SatSession&) = delete;
    SatSession& operator=(const SatSession&) = delete;

    // Session number of the operation in progress, or of the last one.
    std::int32_t SessionNumber = 0;

    // Operation parameters, written by the pages and field rules.
    std::string codigoDeAtivacao;
    std::int32_t subComando = 0;
    std::string cnpjContribuinte;
    std::string cUF; // two-digit state code, sent as an integer
    std::string CNPJvalue;
    std::string assinaturaCNPJs;
    std::string codigoAtual;
    std::string novoCodigo;
    std::string confNovoCodigo;
    std::string dadosConfiguracao;
    std::string dadosVenda;
    std::string chave;
    std::string dadosCancelamento;

    // The text left by the last operation: the decoded answer, its quoted
    // comma-separated form, or a failure text.
    std::string LastResponse;
    TSatStatusOperacional StatusOperacional;

    // From now on the library is loaded and called in the library host
    // dravovexa-sat-host at hostProgramPath (the program and the command
    // line always do this; by default, for the core tests, the library is
    // loaded into this process). A library already loaded is loaded again
    // there at the next library step.
    void UseLibraryHost(std::string hostProgramPath);
    bool UsesLibraryHost() const { return usesHost_; }
    // From any thread: ends the library call now running by ending its host
    // (the call reports that its outcome is unknown). Nothing happens when no
    // call runs, or in process.
    void AbandonLibraryCall() { library_->Abandon(); }
    // True once the library is loaded (and its exports looked up).
    bool LibraryLoaded() const { return library_->Loaded(); }
    bool HasExport(SatExport which) const { return library_->HasExport(which); }

    // While set, the Base64 payload of an answer (the device's log) goes here
    // as the device's bytes, in pieces, instead of into LastResponse.
    PayloadSink payloadSink;

    // The preferred copy of the session counter.
    const std::string& SettingsFilePath() const { return counterCopies_.front().path; }
    const std::string& SatLibraryPath() const { return satLibraryPath_; }
    // Another library file (the command line's --sat-library); a full path.
    void SetSatLibraryPath(std::string fullPath) { satLibraryPath_ = std::move(fullPath); }
    SatUserInterface& UserInterface() const { return ui_; }

    // Draws the next session number from the settings file into
    // SessionNumber. Throws SettingsFileError when it cannot be stored.
    void NextSessionNumber();

    // Start-up: finds the library, loads it, resolves its entry points and
    // proves it alive with a first ConsultarSAT (return code 08000). On
    // false the user has been told why, except when the file exists but
    // cannot be loaded (LastLoadError() says why).
    bool LoadSatLibrary();

    // The first steps of LoadSatLibrary without the query: true when the
    // library is loaded and its table filled. A missing file is shown as
    // "Biblioteca Vexa® não localizada !".
    bool BindSatLibrary();

    // The operations. Each but RunVersaoDLL takes a new session number first
    // (also when its entry point is missing) and gives up before calling
    // anything when that number cannot be stored, with one error dialog that
    // names the settings files tried.
    bool RunConfigurarInterfaceDeRede();
    bool RunAtivarSAT();
    bool RunAssociarAssinatura();
    bool RunConsultarSAT();
    bool RunConsultarStatusOperacional();
    bool RunConsultarNumeroSessao(std::int32_t cNumeroDeSessao);
    bool RunExtrairLogs();
    bool RunTesteFimAFim();
    bool RunEnviarDadosVenda();
    bool RunCancelarUltimaVenda();
    bool RunBloquearSAT();
    bool RunDesbloquearSAT();
    bool RunAtualizarSoftwareSAT();
    // manutencaoTipoIndex: the item index (from 0) of the code kind list;
    // the library receives it plus 1 (1 activation code, 2 emergency code).
    bool RunTrocarCodigoDeAtivacao(std::int32_t manutencaoTipoIndex);
    // The library's version text; no session number is taken.
    std::string RunVersaoDLL();

    // What the library did on the last operation (kind of answer and the raw
    // UTF-8 answer); kind None when the operation gave up before calling.
    const SatCallRecord& LastCall() const { return lastCall_; }
    // Why the last operation gave up when no dialog said it (memory ran out);
    // empty when it did not, or when a dialog told the user.
    const std::string& LastFailure() const { return lastFailure_; }
    // The platform's text for the last library that could not be loaded.
    const std::string& LastLoadError() const { return lastLoadError_; }

private:
    SatCallContext Call() {
        return {*library_, ui_, lastCall_, payloadSink ? &payloadSink : nullptr};
    }
    template <typename Operation> bool Guarded(Operation operation);

    SatUserInterface& ui_;
    std::vector<CounterCopy> counterCopies_;
    std::string satLibraryPath_;
    std::unique_ptr<SatLibraryAccess> library_;
    bool usesHost_ = false;
    SatCallRecord lastCall_;
    std::string lastFailure_;
    std::string lastLoadError_;
};
