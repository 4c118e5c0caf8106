#pragma once
// One owning handle per OpenSSL type the device uses, and the failure of an
// OpenSSL call as an exception carrying OpenSSL's own error queue. The command
// frame answers such a failure with the function's xx099, keeps the state file
// as it is and writes the queue's text to the event log.

#include <memory>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <stdexcept>
#include <string>

namespace satemu {

template <auto Free> struct OpenSslFree {
    template <typename T> void operator()(T* pointer) const { Free(pointer); }
};

// OPENSSL_free is a macro; buffers OpenSSL allocates (i2d_*) go through this.
void FreeOpenSslBuffer(unsigned char* buffer);

using PrivateKeyHandle = std::unique_ptr<EVP_PKEY, OpenSslFree<EVP_PKEY_free>>;
using CertificateHandle = std::unique_ptr<X509, OpenSslFree<X509_free>>;
using RequestHandle = std::unique_ptr<X509_REQ, OpenSslFree<X509_REQ_free>>;
using BioHandle = std::unique_ptr<BIO, OpenSslFree<BIO_free_all>>;
using DigestContextHandle = std::unique_ptr<EVP_MD_CTX, OpenSslFree<EVP_MD_CTX_free>>;
using BigNumberHandle = std::unique_ptr<BIGNUM, OpenSslFree<BN_free>>;
using TimeHandle = std::unique_ptr<ASN1_TIME, OpenSslFree<ASN1_TIME_free>>;
using BufferHandle = std::unique_ptr<unsigned char, OpenSslFree<FreeOpenSslBuffer>>;

// An OpenSSL call failed: what() is the device's operation (in the log's
// language) and OpenSSL's error queue, which is emptied.
class OpenSslError : public std::runtime_error {
public:
    explicit OpenSslError(const std::string& operation);
};

// OpenSSL's error queue as one line of text, emptied; empty when it is.
std::string TakeOpenSslErrors();

} // namespace satemu
