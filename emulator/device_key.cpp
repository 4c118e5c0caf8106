#include "emulator/device_key.h"

#include "emulator/base64.h"
#include "emulator/openssl_handles.h"

#include <algorithm>
#include <ctime>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <utility>

namespace satemu {

struct DeviceKey::Handles {
    PrivateKeyHandle key;
    CertificateHandle certificate;
};

namespace {

BIO* ReadBio(std::string_view text) {
    return BIO_new_mem_buf(text.data(), static_cast<int>(text.size()));
}

// What a memory BIO holds, as a string.
std::string Contents(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

// DER of a key's public half or of a certificate (i2d_PUBKEY, i2d_X509).
template <typename T>
std::string Der(int (*encode)(const T*, unsigned char**), const T* object, const char* operation) {
    unsigned char* buffer = nullptr;
    const int size = encode(object, &buffer);
    const BufferHandle owned(buffer);
    if (size <= 0) {
        throw OpenSslError(operation);
    }
    return std::string(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(size));
}

bool SetSubject(X509_NAME* name, const CertificateSubject& subject) {
    const std::string commonName = "SAT " + subject.serial;
    const auto add = [&](const char* field, const std::string& value) {
        return X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                          reinterpret_cast<const unsigned char*>(value.c_str()), -1,
                                          -1, 0) == 1;
    };
    return add("C", "BR") && add("O", subject.cnpj) && add("serialNumber", subject.serial) &&
           add("CN", commonName);
}

// Seconds since the epoch, counted by OpenSSL itself (no platform's timegm).
std::optional<std::int64_t> EpochOf(const ASN1_TIME* time) {
    const TimeHandle epoch(ASN1_TIME_set(nullptr, 0));
    int days = 0;
    int seconds = 0;
    const bool counted = epoch && time && ASN1_TIME_diff(&days, &seconds, epoch.get(), time) == 1;
    if (!counted) {
        return std::nullopt;
    }
    return std::int64_t{days} * 86400 + seconds;
}

// The DER certificate between the PEM markers, Base64 wrapped or not.
CertificateHandle ParseCertificatePem(std::string_view pem) {
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
    CertificateHandle certificate(d2i_X509(nullptr, &in, static_cast<long>(bytes->size())));
    if (certificate &&
        in != reinterpret_cast<const unsigned char*>(bytes->data()) + bytes->size()) {
        return nullptr; // bytes after the certificate
    }
    return certificate;
}

} // namespace

DeviceKey DeviceKey::Create(const CertificateSubject& subject, std::int64_t notBefore,
                            std::int64_t notAfter) {
    auto handles = std::make_shared<Handles>();
    handles->key.reset(EVP_RSA_gen(2048));
    handles->certificate.reset(X509_new());
    X509* c = handles->certificate.get();
    if (!handles->key || !c) {
        throw OpenSslError("geração da chave do equipamento");
    }
    // A serial number of the certificate drawn from the key itself, so two
    // devices' certificates never share one.
    unsigned char serial[16];
    const std::string digest =
        Sha256(Der(i2d_PUBKEY, static_cast<const EVP_PKEY*>(handles->key.get()),
                   "codificação da chave pública"));
    std::copy_n(digest.begin(), sizeof serial, serial);
    serial[0] &= 0x7F; // a positive INTEGER
    const BigNumberHandle number(BN_bin2bn(serial, sizeof serial, nullptr));
    const bool made = number && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(c)) &&
                      X509_set_version(c, 2) == 1 &&
                      ASN1_TIME_set(X509_getm_notBefore(c), static_cast<time_t>(notBefore)) &&
                      ASN1_TIME_set(X509_getm_notAfter(c), static_cast<time_t>(notAfter)) &&
                      SetSubject(X509_get_subject_name(c), subject) &&
                      X509_set_issuer_name(c, X509_get_subject_name(c)) == 1 &&
                      X509_set_pubkey(c, handles->key.get()) == 1 &&
                      X509_sign(c, handles->key.get(), EVP_sha256()) > 0;
    if (!made) {
        throw OpenSslError("criação do certificado do equipamento");
    }
    return DeviceKey(std::move(handles));
}

std::optional<DeviceKey> DeviceKey::FromPem(std::string_view keyPem,
                                            std::string_view certificatePem) {
    auto handles = std::make_shared<Handles>();
    const BioHandle in(ReadBio(keyPem));
    if (!in) {
        throw OpenSslError("leitura da chave do equipamento");
    }
    handles->key.reset(PEM_read_bio_PrivateKey(in.get(), nullptr, nullptr, nullptr));
    handles->certificate = ParseCertificatePem(certificatePem);
    if (!handles->key || !handles->certificate || EVP_PKEY_get_bits(handles->key.get()) != 2048 ||
        X509_check_private_key(handles->certificate.get(), handles->key.get()) != 1) {
        ERR_clear_error();
        return std::nullopt;
    }
    return DeviceKey(std::move(handles));
}

std::string DeviceKey::KeyPem() const {
    const BioHandle out(BIO_new(BIO_s_mem()));
    if (!out || PEM_write_bio_PrivateKey(out.get(), handles_->key.get(), nullptr, nullptr, 0,
                                         nullptr, nullptr) != 1) {
        throw OpenSslError("escrita da chave do equipamento");
    }
    return Contents(out.get());
}

std::string DeviceKey::CertificatePem() const {
    const BioHandle out(BIO_new(BIO_s_mem()));
    if (!out || PEM_write_bio_X509(out.get(), handles_->certificate.get()) != 1) {
        throw OpenSslError("escrita do certificado do equipamento");
    }
    return Contents(out.get());
}

std::string DeviceKey::CertificateDer() const {
    return Der(i2d_X509, static_cast<const X509*>(handles_->certificate.get()),
               "codificação do certificado");
}

std::string DeviceKey::Sign(std::string_view data) const {
    const DigestContextHandle context(EVP_MD_CTX_new());
    std::size_t size = 0;
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, handles_->key.get()) !=
            1 ||
        EVP_DigestSign(context.get(), nullptr, &size, nullptr, 0) != 1) {
        throw OpenSslError("assinatura");
    }
    std::string signature(size, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(data.data()), data.size()) != 1) {
        throw OpenSslError("assinatura");
    }
    signature.resize(size);
    return signature;
}

std::string DeviceKey::CertificateRequestPem(const CertificateSubject& subject) const {
    const RequestHandle request(X509_REQ_new());
    const BioHandle out(BIO_new(BIO_s_mem()));
    if (!request || !out || X509_REQ_set_version(request.get(), 0) != 1 ||
        !SetSubject(X509_REQ_get_subject_name(request.get()), subject) ||
        X509_REQ_set_pubkey(request.get(), handles_->key.get()) != 1 ||
        X509_REQ_sign(request.get(), handles_->key.get(), EVP_sha256()) <= 0 ||
        PEM_write_bio_X509_REQ(out.get(), request.get()) != 1) {
        throw OpenSslError("criação da requisição de certificado");
    }
    return Contents(out.get());
}

bool DeviceKey::UseCertificate(std::string_view certificatePem) {
    CertificateHandle certificate = ParseCertificatePem(certificatePem);
    if (!certificate || X509_check_private_key(certificate.get(), handles_->key.get()) != 1) {
        ERR_clear_error();
        return false;
    }
    auto handles = std::make_shared<Handles>();
    if (EVP_PKEY_up_ref(handles_->key.get()) != 1) {
        throw OpenSslError("troca do certificado");
    }
    handles->key.reset(handles_->key.get());
    handles->certificate = std::move(certificate);
    handles_ = std::move(handles);
    return true;
}

std::optional<CertificateValidity> ReadCertificateValidity(std::string_view pem) {
    const CertificateHandle certificate = ParseCertificatePem(pem);
    if (!certificate) {
        ERR_clear_error();
        return std::nullopt;
    }
    const auto notBefore = EpochOf(X509_get0_notBefore(certificate.get()));
    const auto notAfter = EpochOf(X509_get0_notAfter(certificate.get()));
    if (!notBefore || !notAfter || *notAfter < *notBefore) {
        return std::nullopt;
    }
    return CertificateValidity{*notBefore, *notAfter};
}

std::string Sha256(std::string_view data) {
    std::string digest(32, '\0');
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), reinterpret_cast<unsigned char*>(digest.data()), &size,
                   EVP_sha256(), nullptr) != 1 ||
        size != digest.size()) {
        throw OpenSslError("resumo SHA-256");
    }
    return digest;
}

} // namespace satemu
