#pragma once
// The device's signing key and certificate, as a SAT keeps them in its secure
// element: an RSA-2048 key and an X.509 certificate for the taxpayer's CNPJ
// and the device's serial number (self-signed, as the emulated AC-SAT), made
// with OpenSSL and kept in the state file as PEM texts. Documents are signed
// with RSA-SHA256 (PKCS #1 v1.5) and verify against the certificate.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace satemu {

struct CertificateSubject {
    std::string serial; // nserieSAT
    std::string cnpj;   // taxpayer
};

class DeviceKey {
public:
    // Every OpenSSL failure throws OpenSslError (openssl_handles.h).

    // A new key pair with its self-signed certificate, valid from notBefore
    // to notAfter.
    static DeviceKey Create(const CertificateSubject& subject, std::int64_t notBefore,
                            std::int64_t notAfter);

    // The key and certificate of PEM texts; nothing when OpenSSL cannot read
    // either or the certificate is not for this key.
    static std::optional<DeviceKey> FromPem(std::string_view keyPem,
                                            std::string_view certificatePem);

    std::string KeyPem() const;
    std::string CertificatePem() const;
    std::string CertificateDer() const;

    // The 256-byte RSA-SHA256 signature of data.
    std::string Sign(std::string_view data) const;

    // PEM text of a PKCS #10 certificate request of this key for subject.
    std::string CertificateRequestPem(const CertificateSubject& subject) const;

    // Takes the certificate of a PEM text in the place of the current one;
    // false (and nothing changed) when it is not a certificate of this key.
    bool UseCertificate(std::string_view certificatePem);

private:
    struct Handles;
    explicit DeviceKey(std::shared_ptr<Handles> handles) : handles_(std::move(handles)) {}
    std::shared_ptr<Handles> handles_;
};

struct CertificateValidity {
    std::int64_t notBefore = 0;
    std::int64_t notAfter = 0;
};

// Validity of the one certificate in a PEM text ("-----BEGIN CERTIFICATE-----"
// ... "-----END CERTIFICATE-----", the Base64 wrapped or not); nothing when
// the text is not such a PEM or the DER is not an X.509 certificate.
std::optional<CertificateValidity> ReadCertificateValidity(std::string_view pem);

// The 32-byte SHA-256 digest of data.
std::string Sha256(std::string_view data);

} // namespace satemu
