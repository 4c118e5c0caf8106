#pragma once
// The device's key pair and certificate, emulated. A real SAT signs with an
// RSA-2048 key inside its secure element; the emulator derives a fixed
// 2048-bit "modulus" from its identity and makes 256-byte signatures from
// SHA-256, so documents carry signatures and certificates of the real shape
// and size (well-formed DER, Base64 of 344 characters), that are stable for
// one device and change with the signed data, but cannot be verified with
// RSA. Nothing here is secret or meant to be.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace satemu {

class EmulatedKey {
public:
    // seed: the device identity (serial number and taxpayer).
    explicit EmulatedKey(std::string_view seed);

    // 256 bytes that stand for the RSA signature of data.
    std::string Sign(std::string_view data) const;

    // The DER SubjectPublicKeyInfo of the emulated RSA public key.
    std::string PublicKeyInfo() const;

private:
    std::string seed_;
    std::string modulus_;
};

struct CertificateSubject {
    std::string serial; // nserieSAT
    std::string cnpj;   // taxpayer
};

// PEM text of a PKCS#10 certificate request for the device key.
std::string BuildCertificateRequestPem(const EmulatedKey& key, const CertificateSubject& subject);

// DER X.509 certificate of the device key, valid from notBefore to notAfter.
std::string BuildCertificateDer(const EmulatedKey& key, const CertificateSubject& subject,
                                std::int64_t notBefore, std::int64_t notAfter);

struct CertificateValidity {
    std::int64_t notBefore = 0;
    std::int64_t notAfter = 0;
};

// Validity of the one certificate in a PEM text ("-----BEGIN CERTIFICATE-----"
// ... "-----END CERTIFICATE-----"); nothing when the text is not such a PEM,
// the Base64 is broken or the DER is not an X.509 certificate.
std::optional<CertificateValidity> ReadCertificateValidity(std::string_view pem);

} // namespace satemu
