#include "emulator/emulated_identity.h"

#include "emulator/base64.h"
#include "emulator/der.h"
#include "emulator/sha256.h"

namespace satemu {
namespace {

constexpr std::string_view kRsaEncryption = "1.2.840.113549.1.1.1";
constexpr std::string_view kSha256WithRsa = "1.2.840.113549.1.1.11";
constexpr std::string_view kCountryName = "2.5.4.6";
constexpr std::string_view kOrganizationName = "2.5.4.10";
constexpr std::string_view kCommonName = "2.5.4.3";
constexpr std::string_view kSerialNumber = "2.5.4.5";

// `length` bytes drawn from SHA-256 in counter mode over a label and data.
std::string Expand(std::string_view label, std::string_view data, std::size_t length) {
    std::string out;
    for (std::uint32_t counter = 0; out.size() < length; ++counter) {
        std::string block(label);
        block += std::string(data);
        for (int shift = 24; shift >= 0; shift -= 8) {
            block += static_cast<char>((counter >> shift) & 0xFF);
        }
        out += Sha256(block);
    }
    out.resize(length);
    return out;
}

std::string Attribute(std::string_view oid, const std::string& value) {
    return der::Set({der::Sequence({der::ObjectId(oid), value})});
}

std::string SubjectName(const CertificateSubject& subject) {
    return der::Sequence({Attribute(kCountryName, der::PrintableString("BR")),
                          Attribute(kOrganizationName, der::Utf8String(subject.cnpj)),
                          Attribute(kSerialNumber, der::PrintableString(subject.serial)),
                          Attribute(kCommonName, der::Utf8String("SAT " + subject.serial))});
}

std::string IssuerName() {
    return der::Sequence({Attribute(kCountryName, der::PrintableString("BR")),
                          Attribute(kCommonName, der::Utf8String("AC-SAT EMULADA"))});
}

std::string SignatureAlgorithm() {
    return der::Sequence({der::ObjectId(kSha256WithRsa), der::Null()});
}

std::string Pem(std::string_view label, std::string_view derBytes) {
    const std::string body = Base64Encode(derBytes);
    std::string pem = "-----BEGIN " + std::string(label) + "-----\n";
    for (std::size_t i = 0; i < body.size(); i += 64) {
        pem += body.substr(i, 64) + "\n";
    }
    pem += "-----END " + std::string(label) + "-----\n";
    return pem;
}

} // namespace

EmulatedKey::EmulatedKey(std::string_view seed) : seed_(seed) {
    modulus_ = Expand("modulus", seed_, 256);
    modulus_[0] = static_cast<char>(static_cast<unsigned char>(modulus_[0]) | 0x80);
    modulus_[255] = static_cast<char>(static_cast<unsigned char>(modulus_[255]) | 0x01);
}

std::string EmulatedKey::Sign(std::string_view data) const {
    std::string signature = Expand("signature" + seed_, Sha256(data), 256);
    // Keep it below the modulus, as an RSA signature always is.
    signature[0] = static_cast<char>(static_cast<unsigned char>(signature[0]) & 0x7F);
    return signature;
}

std::string EmulatedKey::PublicKeyInfo() const {
    const std::string publicKey =
        der::Sequence({der::UnsignedInteger(modulus_), der::SmallInteger(65537)});
    return der::Sequence(
        {der::Sequence({der::ObjectId(kRsaEncryption), der::Null()}), der::BitString(publicKey)});
}

std::string BuildCertificateRequestPem(const EmulatedKey& key, const CertificateSubject& subject) {
    const std::string info = der::Sequence({der::SmallInteger(0), SubjectName(subject),
                                            key.PublicKeyInfo(), der::ContextConstructed(0, {})});
    const std::string request =
        der::Sequence({info, SignatureAlgorithm(), der::BitString(key.Sign(info))});
    return Pem("CERTIFICATE REQUEST", request);
}

std::string BuildCertificateDer(const EmulatedKey& key, const CertificateSubject& subject,
                                std::int64_t notBefore, std::int64_t notAfter) {
    const std::string serialNumber = Sha256(subject.serial + subject.cnpj).substr(0, 16);
    const std::string tbs =
        der::Sequence({der::ContextConstructed(0, der::SmallInteger(2)),
                       der::UnsignedInteger(serialNumber), SignatureAlgorithm(), IssuerName(),
                       der::Sequence({der::UtcTime(notBefore), der::UtcTime(notAfter)}),
                       SubjectName(subject), key.PublicKeyInfo()});
    return der::Sequence({tbs, SignatureAlgorithm(), der::BitString(key.Sign(tbs))});
}

std::optional<CertificateValidity> ReadCertificateValidity(std::string_view pem) {
    constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
    constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
    const std::size_t begin = pem.find(kBegin);
    const std::size_t end = pem.find(kEnd);
    if (begin == std::string_view::npos || end == std::string_view::npos || end < begin) {
        return std::nullopt;
    }
    const auto bytes = Base64Decode(pem.substr(begin + kBegin.size(), end - begin - kBegin.size()));
    if (!bytes) {
        return std::nullopt;
    }
    // Certificate ::= SEQUENCE { tbsCertificate SEQUENCE { [0] version,
    // serialNumber, signature, issuer, validity SEQUENCE { notBefore, notAfter } ...
    std::string_view in = *bytes;
    const auto certificate = der::Next(in);
    if (!certificate || certificate->tag != 0x30 || !in.empty()) {
        return std::nullopt;
    }
    std::string_view body = certificate->content;
    const auto tbs = der::Next(body);
    if (!tbs || tbs->tag != 0x30) {
        return std::nullopt;
    }
    std::string_view fields = tbs->content;
    auto field = der::Next(fields);
    if (field && field->tag == 0xA0) {
        field = der::Next(fields); // the version is optional
    }
    for (int i = 0; i < 2 && field; ++i) { // serialNumber, signature -> issuer
        field = der::Next(fields);
    }
    const auto validity = field ? der::Next(fields) : std::nullopt;
    if (!validity || validity->tag != 0x30) {
        return std::nullopt;
    }
    std::string_view times = validity->content;
    const auto first = der::Next(times);
    const auto second = first ? der::Next(times) : std::nullopt;
    if (!second) {
        return std::nullopt;
    }
    const auto notBefore = der::ParseTime(first->tag, first->content);
    const auto notAfter = der::ParseTime(second->tag, second->content);
    if (!notBefore || !notAfter || *notAfter < *notBefore) {
        return std::nullopt;
    }
    return CertificateValidity{*notBefore, *notAfter};
}

} // namespace satemu
