#pragma once
// The SAT library's exported functions, by the SAT standard's names and
// argument lists. Every function returns a UTF-8 answer owned by the library,
// valid until the calling thread's next call. Text arguments are in the
// Windows ANSI code page (Windows-1252), except the documents (sale,
// cancellation, network configuration), which are UTF-8 XML.

#if defined(_WIN32)
#define DVT_SAT_CALL __stdcall
#define DVT_SAT_EXPORT
#else
#define DVT_SAT_CALL
#define DVT_SAT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

DVT_SAT_EXPORT const char* DVT_SAT_CALL AtivarSAT(int numeroSessao, int subComando,
                                                  const char* codigoDeAtivacao, const char* CNPJ,
                                                  int cUF);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ComunicarCertificadoICPBRASIL(int numeroSessao,
                                                                      const char* codigoDeAtivacao,
                                                                      const char* certificado);
DVT_SAT_EXPORT const char* DVT_SAT_CALL EnviarDadosVenda(int numeroSessao,
                                                         const char* codigoDeAtivacao,
                                                         const char* dadosVenda);
DVT_SAT_EXPORT const char* DVT_SAT_CALL CancelarUltimaVenda(int numeroSessao,
                                                            const char* codigoDeAtivacao,
                                                            const char* chave,
                                                            const char* dadosCancelamento);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ConsultarSAT(int numeroSessao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL TesteFimAFim(int numeroSessao, const char* codigoDeAtivacao,
                                                     const char* dadosVenda);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ConsultarStatusOperacional(int numeroSessao,
                                                                   const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ConsultarNumeroSessao(int numeroSessao,
                                                              const char* codigoDeAtivacao,
                                                              int cNumeroDeSessao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ConfigurarInterfaceDeRede(int numeroSessao,
                                                                  const char* codigoDeAtivacao,
                                                                  const char* dadosConfiguracao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL AssociarAssinatura(int numeroSessao,
                                                           const char* codigoDeAtivacao,
                                                           const char* CNPJvalue,
                                                           const char* assinaturaCNPJs);
DVT_SAT_EXPORT const char* DVT_SAT_CALL AtualizarSoftwareSAT(int numeroSessao,
                                                             const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ExtrairLogs(int numeroSessao, const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL BloquearSAT(int numeroSessao, const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL DesbloquearSAT(int numeroSessao,
                                                       const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL TrocarCodigoDeAtivacao(int numeroSessao,
                                                               const char* codigoDeAtivacao,
                                                               int opcao, const char* novoCodigo,
                                                               const char* confNovoCodigo);
DVT_SAT_EXPORT const char* DVT_SAT_CALL ConsultarUltimaSessaoFiscal(int numeroSessao,
                                                                    const char* codigoDeAtivacao);
DVT_SAT_EXPORT const char* DVT_SAT_CALL DesligarSAT();
DVT_SAT_EXPORT const char* DVT_SAT_CALL VersaoDLL();

} // extern "C"
