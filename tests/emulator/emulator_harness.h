#pragma once
// What the emulator's device tests share: the library loaded with dlopen as
// the program loads it, one temporary state file per test, a fixed device
// clock, and the answers taken apart.

#include "emulator/exports.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The library, loaded and resolved by export name; unloaded on destruction.
class SatLibrary {
public:
    SatLibrary();
    ~SatLibrary();
    SatLibrary(const SatLibrary&) = delete;
    SatLibrary& operator=(const SatLibrary&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    QString Error() const { return error_; }

    decltype(&::AtivarSAT) AtivarSAT = nullptr;
    decltype(&::ComunicarCertificadoICPBRASIL) ComunicarCertificadoICPBRASIL = nullptr;
    decltype(&::EnviarDadosVenda) EnviarDadosVenda = nullptr;
    decltype(&::CancelarUltimaVenda) CancelarUltimaVenda = nullptr;
    decltype(&::ConsultarSAT) ConsultarSAT = nullptr;
    decltype(&::TesteFimAFim) TesteFimAFim = nullptr;
    decltype(&::ConsultarStatusOperacional) ConsultarStatusOperacional = nullptr;
    decltype(&::ConsultarNumeroSessao) ConsultarNumeroSessao = nullptr;
    decltype(&::ConfigurarInterfaceDeRede) ConfigurarInterfaceDeRede = nullptr;
    decltype(&::AssociarAssinatura) AssociarAssinatura = nullptr;
    decltype(&::AtualizarSoftwareSAT) AtualizarSoftwareSAT = nullptr;
    decltype(&::ExtrairLogs) ExtrairLogs = nullptr;
    decltype(&::BloquearSAT) BloquearSAT = nullptr;
    decltype(&::DesbloquearSAT) DesbloquearSAT = nullptr;
    decltype(&::TrocarCodigoDeAtivacao) TrocarCodigoDeAtivacao = nullptr;
    decltype(&::ConsultarUltimaSessaoFiscal) ConsultarUltimaSessaoFiscal = nullptr;
    decltype(&::DesligarSAT) DesligarSAT = nullptr;
    decltype(&::VersaoDLL) VersaoDLL = nullptr;

private:
    void* handle_ = nullptr;
    QString error_;
};

// One answer: the raw bytes as the library returned them, and its fields.
struct SatAnswer {
    bool isNull = false;
    QByteArray raw;
    QList<QByteArray> fields;

    QByteArray Code() const { return Field(2); }
    // Field n, counting from 1; empty when the answer is shorter.
    QByteArray Field(int n) const { return n <= fields.size() ? fields[n - 1] : QByteArray(); }
    // Field n decoded from UTF-8.
    QString Text(int n) const { return QString::fromUtf8(Field(n)); }
};

SatAnswer Take(const char* answer);

// A fresh device in its own temporary folder: DVT_SAT_STATE points there, the
// clock is fixed at `clock`, and every other switch is cleared.
class DeviceFolder {
public:
    explicit DeviceFolder(const QByteArray& clock = "20250115103000");
    ~DeviceFolder();

    QString StatePath() const { return dir_.filePath(QStringLiteral("state.txt")); }
    QString LogPath() const { return StatePath() + QStringLiteral(".log"); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    // A session number not used before in this folder.
    int NextSession() { return ++session_; }

private:
    QTemporaryDir dir_;
    int session_ = 0;
};

void SetClock(const QByteArray& stamp);
void SetSwitch(const char* name, const QByteArray& value); // empty value: unset

// The standard's test identities, and the developer kit's activation code.
inline constexpr const char* kTaxpayer = "61099008000141";
inline constexpr const char* kSoftwareHouse = "16716114000172";
inline constexpr const char* kSignature = "SGR-SAT SISTEMA DE GESTAO E RETAGUARDA DO SAT";
inline constexpr const char* kKitCode = "12345678";
inline constexpr const char* kEmergencyCode = "EMERG900012345";

// A valid sale document of the test identities: two items (50.00 and
// 3 x 2.50), paid with 60.00, so the total is 57.50 and the change 2.50.
QByteArray SaleDocument();

// The cancellation document of the sale with the 44-digit key.
QByteArray CancellationDocument(const QByteArray& key44);

// The program's network document with a fixed address.
QByteArray NetworkDocument(const QByteArray& lanType = "IPFIX",
                           const QByteArray& ip = "192.168.000.010");

// Base64 payload decoded and checked to be well-formed XML; empty on failure.
QByteArray DecodeXml(const QByteArray& base64);

// Text of the first element `name` in an XML document.
QString ElementText(const QByteArray& xml, const QString& name);

// Every text of the elements `name`, in document order.
QStringList ElementTexts(const QByteArray& xml, const QString& name);

// The developer kit, ready for sales, in the current device folder: the state
// of a kit at its first start (DVT_SAT_MODE=kit) under the current clock,
// made once per test program, since each makes an RSA key.
void UseDeveloperKit();

// The device's certificate (PEM) as its state file keeps it; empty when none.
QByteArray DeviceCertificate(const QString& statePath);

// The sales the device's log lists ("CF-e-SAT emitido: CFe<key>"), by
// document number, in the order logged.
QList<int> LoggedSaleNumbers(const QString& logPath);

// Verifies the enveloped signature of an issued document with xmlsec1 against
// the certificate, and that the document carries that certificate; empty when
// it verifies, else what went wrong.
QString VerifyDocument(const QByteArray& xml, const QByteArray& certificatePem);

// Validates an issued CF-e (decoded, as the device answered it) with xmllint
// against the tax authority's schemas in tests/emulator/schemas: a sale or an
// end-to-end test inside the authority's envelope, a cancellation's infCFe on
// its own and its Signature against the signature schema. Empty when valid,
// else xmllint's complaint.
enum class IssuedKind { Sale, Cancellation, EndToEndTest };
QString ValidateAgainstSchema(const QByteArray& xml, IssuedKind kind);

// Verifies an RSA-SHA256 signature (Base64) of data with the certificate's key
// (openssl); empty when it verifies, else what went wrong.
QString VerifySignature(const QByteArray& data, const QByteArray& signatureBase64,
                        const QByteArray& certificatePem);
