// The exported C entry points: each converts its arguments (ANSI texts to
// UTF-8; a null pointer counts as an empty text) and runs its command in the
// command frame.

#include "emulator/exports.h"

#include "emulator/answers.h"
#include "emulator/command_frame.h"
#include "emulator/text_encoding.h"

using satemu::CallContext;
using satemu::RunCommand;
using satemu::SatDevice;

namespace {

// A text argument in the program's ANSI code page.
std::string Ansi(const char* text) {
    return text ? satemu::WindowsToUtf8(text) : std::string();
}

// A document argument, UTF-8 as the SAT standard requires.
std::string Document(const char* text) {
    return text ? std::string(text) : std::string();
}

} // namespace

extern "C" {

const char* DVT_SAT_CALL AtivarSAT(int numeroSessao, int subComando, const char* codigoDeAtivacao,
                                   const char* CNPJ, int cUF) {
    return RunCommand({"AtivarSAT", satemu::kAtivarSAT}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.AtivarSAT(c, numeroSessao, subComando, Ansi(codigoDeAtivacao),
                                             Ansi(CNPJ), cUF);
                      });
}

const char* DVT_SAT_CALL ComunicarCertificadoICPBRASIL(int numeroSessao,
                                                       const char* codigoDeAtivacao,
                                                       const char* certificado) {
    return RunCommand({"ComunicarCertificadoICPBRASIL", satemu::kComunicarCertificado},
                      numeroSessao, [&](SatDevice& d, const CallContext& c) {
                          return d.ComunicarCertificadoICPBRASIL(
                              c, numeroSessao, Ansi(codigoDeAtivacao), Ansi(certificado));
                      });
}

const char* DVT_SAT_CALL EnviarDadosVenda(int numeroSessao, const char* codigoDeAtivacao,
                                          const char* dadosVenda) {
    return RunCommand({"EnviarDadosVenda", satemu::kEnviarDadosVenda}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.EnviarDadosVenda(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                    std::string_view(dadosVenda ? dadosVenda : ""));
                      });
}

const char* DVT_SAT_CALL CancelarUltimaVenda(int numeroSessao, const char* codigoDeAtivacao,
                                             const char* chave, const char* dadosCancelamento) {
    return RunCommand({"CancelarUltimaVenda", satemu::kCancelarUltimaVenda}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.CancelarUltimaVenda(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                       Ansi(chave), Document(dadosCancelamento));
                      });
}

const char* DVT_SAT_CALL ConsultarSAT(int numeroSessao) {
    // Exempt from the session check, so that a program whose counter was
    // reset can still reach the device.
    return RunCommand(
        {"ConsultarSAT", satemu::kConsultarSAT, false}, numeroSessao,
        [&](SatDevice& d, const CallContext& c) { return d.ConsultarSAT(c, numeroSessao); });
}

const char* DVT_SAT_CALL TesteFimAFim(int numeroSessao, const char* codigoDeAtivacao,
                                      const char* dadosVenda) {
    return RunCommand({"TesteFimAFim", satemu::kTesteFimAFim}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.TesteFimAFim(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                Document(dadosVenda));
                      });
}

const char* DVT_SAT_CALL ConsultarStatusOperacional(int numeroSessao,
                                                    const char* codigoDeAtivacao) {
    return RunCommand({"ConsultarStatusOperacional", satemu::kConsultarStatusOperacional},
                      numeroSessao, [&](SatDevice& d, const CallContext& c) {
                          return d.ConsultarStatusOperacional(c, numeroSessao,
                                                              Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL ConsultarNumeroSessao(int numeroSessao, const char* codigoDeAtivacao,
                                               int cNumeroDeSessao) {
    return RunCommand({"ConsultarNumeroSessao", satemu::kConsultarNumeroSessao}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.ConsultarNumeroSessao(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                         cNumeroDeSessao);
                      });
}

const char* DVT_SAT_CALL ConfigurarInterfaceDeRede(int numeroSessao, const char* codigoDeAtivacao,
                                                   const char* dadosConfiguracao) {
    return RunCommand({"ConfigurarInterfaceDeRede", satemu::kConfigurarInterfaceDeRede},
                      numeroSessao, [&](SatDevice& d, const CallContext& c) {
                          return d.ConfigurarInterfaceDeRede(
                              c, numeroSessao, Ansi(codigoDeAtivacao), Document(dadosConfiguracao));
                      });
}

const char* DVT_SAT_CALL AssociarAssinatura(int numeroSessao, const char* codigoDeAtivacao,
                                            const char* CNPJvalue, const char* assinaturaCNPJs) {
    return RunCommand({"AssociarAssinatura", satemu::kAssociarAssinatura}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.AssociarAssinatura(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                      Ansi(CNPJvalue), Ansi(assinaturaCNPJs));
                      });
}

const char* DVT_SAT_CALL AtualizarSoftwareSAT(int numeroSessao, const char* codigoDeAtivacao) {
    return RunCommand({"AtualizarSoftwareSAT", satemu::kAtualizarSoftwareSAT}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.AtualizarSoftwareSAT(c, numeroSessao, Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL ExtrairLogs(int numeroSessao, const char* codigoDeAtivacao) {
    return RunCommand({"ExtrairLogs", satemu::kExtrairLogs}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.ExtrairLogs(c, numeroSessao, Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL BloquearSAT(int numeroSessao, const char* codigoDeAtivacao) {
    return RunCommand({"BloquearSAT", satemu::kBloquearSAT}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.BloquearSAT(c, numeroSessao, Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL DesbloquearSAT(int numeroSessao, const char* codigoDeAtivacao) {
    return RunCommand({"DesbloquearSAT", satemu::kDesbloquearSAT}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.DesbloquearSAT(c, numeroSessao, Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL TrocarCodigoDeAtivacao(int numeroSessao, const char* codigoDeAtivacao,
                                                int opcao, const char* novoCodigo,
                                                const char* confNovoCodigo) {
    return RunCommand({"TrocarCodigoDeAtivacao", satemu::kTrocarCodigoDeAtivacao}, numeroSessao,
                      [&](SatDevice& d, const CallContext& c) {
                          return d.TrocarCodigoDeAtivacao(c, numeroSessao, Ansi(codigoDeAtivacao),
                                                          opcao, Ansi(novoCodigo),
                                                          Ansi(confNovoCodigo));
                      });
}

const char* DVT_SAT_CALL ConsultarUltimaSessaoFiscal(int numeroSessao,
                                                     const char* codigoDeAtivacao) {
    return RunCommand({"ConsultarUltimaSessaoFiscal", satemu::kConsultarUltimaSessaoFiscal},
                      numeroSessao, [&](SatDevice& d, const CallContext& c) {
                          return d.ConsultarUltimaSessaoFiscal(c, numeroSessao,
                                                               Ansi(codigoDeAtivacao));
                      });
}

const char* DVT_SAT_CALL DesligarSAT() {
    return satemu::ShutDown();
}

const char* DVT_SAT_CALL VersaoDLL() {
    return satemu::VersionText();
}

} // extern "C"
