#include "emulator/device_key.h"

#include "emulator/base64.h"

#include <algorithm>
#include <ctime>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <utility>

namespace satemu {

struct DeviceKey::Handles {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    ~Handles() {
        EVP_PKEY_free(key);
        X509_free(certificate);
    }
};

namespace {

template <typename T, void (*Free)(T*)> struct Owned {
    T* p = nullptr;
    explicit Owned(T* pointer) : p(pointer) {}
    ~Owned() { Free(p); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T* Release() { return std::exchange(p, nullptr); }
};
using Bio = Owned<BIO, BIO_free_all>;
using Certificate = Owned<X509, X509_free>;
using Request = Owned<X509_REQ, X509_REQ_free>;
using DigestContext = Owned<EVP_MD_CTX, EVP_MD_CTX_free>;

BIO* ReadBio(std::string_view text) {
    return BIO_new_mem_buf(text.data(), static_cast<int>(text.size()));
}

// What a memory BIO holds, as a string.
std::string Contents(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

bool SetSubject(X509_NAME* name, const CertificateSubject& subject) {
    const std::string commonName = "SAT " + subject.serial;
    const auto add = [&](const char* field, const std::string& value) {
        return X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                          reinterpret_cast<const unsigned char*>(value.c_str()),
                                          -1, -1, 0) == 1;
    };
    return add("C", "BR") && add("O", subject.cnpj) && add("serialNumber", subject.serial) &&
           add("CN", commonName);
}

// Seconds since the epoch, counted by OpenSSL itself (no platform's timegm).
std::optional<std::int64_t> EpochOf(const ASN1_TIME* time) {
    ASN1_TIME* epoch = ASN1_TIME_set(nullptr, 0);
    int days = 0;
    int seconds = 0;
    const bool counted = epoch && time && ASN1_TIME_diff(&days, &seconds, epoch, time) == 1;
    ASN1_TIME_free(epoch);
    if (!counted) {
        return std::nullopt;
    }
    return std::int64_t{days} * 86400 + seconds;
}

// The DER certificate between the PEM markers, Base64 wrapped or not.
X509* ParseCertificatePem(std::string_view pem) {
    constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
    constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
    const std::size_t begin = pem.find(kBegin);
    const std::size_t end = pem.find(kEnd);
    if (begin == std::string_view::npos || end == std::string_view::npos || end < begin) {
        return nullptr;
    }
    const auto bytes = Base64Decode(pem.substr(begin + kBegin.size(), end - begin - kBegin.size()));
    if (!bytes) {
        return nullptr;
    }
    const auto* in = reinterpret_cast<const unsigned char*>(bytes->data());
    X509* certificate = d2i_X509(nullptr, &in, static_cast<long>(bytes->size()));
    if (certificate && in != reinterpret_cast<const unsigned char*>(bytes->data()) + bytes->size()) {
        X509_free(certificate); // bytes after the certificate
        return nullptr;
    }
    return certificate;
}

} // namespace

std::optional<DeviceKey> DeviceKey::Create(const CertificateSubject& subject,
                                           std::int64_t notBefore, std::int64_t notAfter) {
    auto handles = std::make_shared<Handles>();
    handles->key = EVP_RSA_gen(2048);
    handles->certificate = X509_new();
    X509* c = handles->certificate;
    if (!handles->key || !c) {
        return std::nullopt;
    }
    // A serial number of the certificate drawn from the key itself, so two
    // devices' certificates never share one.
    unsigned char serial[16];
    std::string derKey;
    {
        unsigned char* buffer = nullptr;
        const int size = i2d_PUBKEY(handles->key, &buffer);
        if (size <= 0) {
            return std::nullopt;
        }
        derKey.assign(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size));
        OPENSSL_free(buffer);
    }
    const std::string digest = Sha256(derKey);
    std::copy_n(digest.begin(), sizeof serial, serial);
    serial[0] &= 0x7F; // a positive INTEGER
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(c));
    BN_free(number);
    const bool made = serialSet && X509_set_version(c, 2) == 1 &&
                      ASN1_TIME_set(X509_getm_notBefore(c), static_cast<time_t>(notBefore)) &&
                      ASN1_TIME_set(X509_getm_notAfter(c), static_cast<time_t>(notAfter)) &&
                      SetSubject(X509_get_subject_name(c), subject) &&
                      X509_set_issuer_name(c, X509_get_subject_name(c)) == 1 &&
                      X509_set_pubkey(c, handles->key) == 1 &&
                      X509_sign(c, handles->key, EVP_sha256()) > 0;
    if (!made) {
        return std::nullopt;
    }
    return DeviceKey(std::move(handles));
}

std::optional<DeviceKey> DeviceKey::FromPem(std::string_view keyPem,
                                            std::string_view certificatePem) {
    auto handles = std::make_shared<Handles>();
    {
        Bio in(ReadBio(keyPem));
        handles->key = in.p ? PEM_read_bio_PrivateKey(in.p, nullptr, nullptr, nullptr) : nullptr;
    }
    handles->certificate = ParseCertificatePem(certificatePem);
    if (!handles->key || !handles->certificate || EVP_PKEY_get_bits(handles->key) != 2048 ||
        X509_check_private_key(handles->certificate, handles->key) != 1) {
        return std::nullopt;
    }
    return DeviceKey(std::move(handles));
}

std::string DeviceKey::KeyPem() const {
    Bio out(BIO_new(BIO_s_mem()));
    if (!out.p || PEM_write_bio_PrivateKey(out.p, handles_->key, nullptr, nullptr, 0, nullptr,
                                           nullptr) != 1) {
        return {};
    }
    return Contents(out.p);
}

std::string DeviceKey::CertificatePem() const {
    Bio out(BIO_new(BIO_s_mem()));
    if (!out.p || PEM_write_bio_X509(out.p, handles_->certificate) != 1) {
        return {};
    }
    return Contents(out.p);
}

std::string DeviceKey::CertificateDer() const {
    unsigned char* buffer = nullptr;
    const int size = i2d_X509(handles_->certificate, &buffer);
    if (size <= 0) {
        return {};
    }
    std::string der(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size));
    OPENSSL_free(buffer);
    return der;
}

std::string DeviceKey::Sign(std::string_view data) const {
    DigestContext context(EVP_MD_CTX_new());
    std::size_t size = 0;
    if (!context.p ||
        EVP_DigestSignInit(context.p, nullptr, EVP_sha256(), nullptr, handles_->key) != 1 ||
        EVP_DigestSign(context.p, nullptr, &size, nullptr, 0) != 1) {
        return {};
    }
    std::string signature(size, '\0');
    if (EVP_DigestSign(context.p, reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(data.data()), data.size()) != 1) {
        return {};
    }
    signature.resize(size);
    return signature;
}

std::string DeviceKey::CertificateRequestPem(const CertificateSubject& subject) const {
    Request request(X509_REQ_new());
    Bio out(BIO_new(BIO_s_mem()));
    if (!request.p || !out.p || X509_REQ_set_version(request.p, 0) != 1 ||
        !SetSubject(X509_REQ_get_subject_name(request.p), subject) ||
        X509_REQ_set_pubkey(request.p, handles_->key) != 1 ||
        X509_REQ_sign(request.p, handles_->key, EVP_sha256()) <= 0 ||
        PEM_write_bio_X509_REQ(out.p, request.p) != 1) {
        return {};
    }
    return Contents(out.p);
}

bool DeviceKey::UseCertificate(std::string_view certificatePem) {
    Certificate certificate(ParseCertificatePem(certificatePem));
    if (!certificate.p || X509_check_private_key(certificate.p, handles_->key) != 1) {
        return false;
    }
    auto handles = std::make_shared<Handles>();
    handles->key = handles_->key;
    EVP_PKEY_up_ref(handles->key);
    handles->certificate = certificate.Release();
    handles_ = std::move(handles);
    return true;
}

std::optional<CertificateValidity> ReadCertificateValidity(std::string_view pem) {
    Certificate certificate(ParseCertificatePem(pem));
    if (!certificate.p) {
        return std::nullopt;
    }
    const auto notBefore = EpochOf(X509_get0_notBefore(certificate.p));
    const auto notAfter = EpochOf(X509_get0_notAfter(certificate.p));
    if (!notBefore || !notAfter || *notAfter < *notBefore) {
        return std::nullopt;
    }
    return CertificateValidity{*notBefore, *notAfter};
}

std::string Sha256(std::string_view data) {
    std::string digest(32, '\0');
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), reinterpret_cast<unsigned char*>(digest.data()), &size,
               EVP_sha256(), nullptr);
    return digest;
}

} // namespace satemu
