#include "sat/un_global.h"

#include <exception>
#include <utility>

#include "rules/text_utils.h"
#include "sat/platform/sat_library_file.h"
#include "sat/session_counter.h"

SatSession::SatSession(SatUserInterface& ui)
    : ui_(ui), counterCopies_(SessionCounterCopiesOfThisInstall()),
      satLibraryPath_(platform::SatLibraryPathBesideProgram()) {}

SatSession::SatSession(SatUserInterface& ui, std::string settingsFilePath,
                       std::string satLibraryPath, std::string userSettingsFilePath)
    : ui_(ui), counterCopies_{{std::move(settingsFilePath), true}},
      satLibraryPath_(std::move(satLibraryPath)), library_(MakeInProcessLibrary()) {
    if (!userSettingsFilePath.empty()) {
        counterCopies_.push_back({std::move(userSettingsFilePath), true});
    }
}

SatSession::~SatSession() = default;

void SatSession::UseLibraryHost(std::string hostProgramPath) {
    library_ = MakeHostedLibrary(std::move(hostProgramPath));
    usesHost_ = true;
}

void SatSession::NextSessionNumber() {
    SessionNumber = DrawSessionNumber(counterCopies_);
}

// Runs one operation so that no failure escapes. A settings file that cannot
// be written is told in one error dialog (without it every operation would
// seem to do nothing); memory running out or an exception thrown from a
// dialog end the operation with false and no further dialog.
template <typename Operation> bool SatSession::Guarded(Operation operation) {
    lastCall_ = {};
    lastFailure_.clear();
    const auto noteFailure = [this](const char* why) noexcept {
        try {
            lastFailure_ = why;
        } catch (...) {
            lastFailure_.clear();
        }
    };
    // The answer's text goes with the next call: it is not left in view.
    struct ForgetAnswer {
        SatSession& session;
        ~ForgetAnswer() {
            session.lastCall_.raw = {};
            session.library_->ReleaseAnswer();
        }
    } forget{*this};
    try {
        return operation();
    } catch (const SettingsFileError& failure) {
        try {
            ui_.ShowMessageDialog(SettingsFileErrorMessage(failure) + "[e]");
        } catch (...) {
            noteFailure(failure.what());
        }
    } catch (const std::exception& failure) {
        noteFailure(failure.what());
    } catch (...) {
        noteFailure("falha desconhecida");
    }
    return false;
}

bool SatSession::RunConfigurarInterfaceDeRede() {
    return Guarded([&] {
        NextSessionNumber();
        return DllConfigurarInterfaceDeRede(Call(), LastResponse, SessionNumber, codigoDeAtivacao,
                                            dadosConfiguracao);
    });
}

bool SatSession::RunAtivarSAT() {
    return Guarded([&] {
        NextSessionNumber();
        return DllAtivarSAT(Call(), LastResponse, SessionNumber, subComando, codigoDeAtivacao,
                            cnpjContribuinte, TextToInt(cUF));
    });
}

bool SatSession::RunAssociarAssinatura() {
    return Guarded([&] {
        NextSessionNumber();
        return DllAssociarAssinatura(Call(), LastResponse, SessionNumber, codigoDeAtivacao,
                                     CNPJvalue, assinaturaCNPJs);
    });
}

bool SatSession::RunConsultarSAT() {
    return Guarded([&] {
        NextSessionNumber();
        return DllConsultarSAT(Call(), LastResponse, SessionNumber);
    });
}

bool SatSession::RunConsultarStatusOperacional() {
    return Guarded([&] {
        NextSessionNumber();
        return DllConsultarStatusOperacional(Call(), LastResponse, SessionNumber, codigoDeAtivacao,
                                             StatusOperacional);
    });
}

bool SatSession::RunConsultarNumeroSessao(std::int32_t cNumeroDeSessao) {
    return Guarded([&] {
        NextSessionNumber();
        return DllConsultarNumeroSessao(Call(), LastResponse, SessionNumber, codigoDeAtivacao,
                                        cNumeroDeSessao);
    });
}

bool SatSession::RunExtrairLogs() {
    return Guarded([&] {
        NextSessionNumber();
        return DllExtrairLogs(Call(), LastResponse, SessionNumber, codigoDeAtivacao);
    });
}

bool SatSession::RunTesteFimAFim() {
    return Guarded([&] {
        NextSessionNumber();
        return DllTesteFimAFim(Call(), LastResponse, SessionNumber, codigoDeAtivacao, dadosVenda);
    });
}

bool SatSession::RunEnviarDadosVenda() {
    return Guarded([&] {
        NextSessionNumber();
        return DllEnviarDadosVenda(Call(), LastResponse, SessionNumber, codigoDeAtivacao,
                                   dadosVenda);
    });
}

bool SatSession::RunCancelarUltimaVenda() {
    return Guarded([&] {
        NextSessionNumber();
        return DllCancelarUltimaVenda(Call(), LastResponse, SessionNumber, codigoDeAtivacao, chave,
                                      dadosCancelamento);
    });
}

bool SatSession::RunBloquearSAT() {
    return Guarded([&] {
        NextSessionNumber();
        return DllBloquearSAT(Call(), LastResponse, SessionNumber, codigoDeAtivacao);
    });
}

bool SatSession::RunDesbloquearSAT() {
    return Guarded([&] {
        NextSessionNumber();
        return DllDesbloquearSAT(Call(), LastResponse, SessionNumber, codigoDeAtivacao);
    });
}

bool SatSession::RunAtualizarSoftwareSAT() {
    return Guarded([&] {
        NextSessionNumber();
        return DllAtualizarSoftwareSAT(Call(), LastResponse, SessionNumber, codigoDeAtivacao);
    });
}

bool SatSession::RunTrocarCodigoDeAtivacao(std::int32_t manutencaoTipoIndex) {
    return Guarded([&] {
        NextSessionNumber();
        return DllTrocarCodigoDeAtivacao(Call(), LastResponse, SessionNumber, codigoAtual,
                                         manutencaoTipoIndex + 1, novoCodigo, confNovoCodigo);
    });
}

std::string SatSession::RunVersaoDLL() {
    std::string versao;
    Guarded([&] {
        DllVersaoDLL(Call(), versao);
        return true;
    });
    return versao;
}
