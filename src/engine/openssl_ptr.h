#pragma once
// Owners of OpenSSL objects: each frees its object with the matching OpenSSL
// call when it goes, so no path (an early return included) leaks one.

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

template <typename T, void (*Free)(T*)>
struct LOpenSslFree {
  void operator()(T* object) const { Free(object); }
};

using LSslCtxPtr = std::unique_ptr<SSL_CTX, LOpenSslFree<SSL_CTX, SSL_CTX_free>>;
using LSslPtr = std::unique_ptr<SSL, LOpenSslFree<SSL, SSL_free>>;
using LX509Ptr = std::unique_ptr<X509, LOpenSslFree<X509, X509_free>>;
using LEvpPkeyPtr = std::unique_ptr<EVP_PKEY, LOpenSslFree<EVP_PKEY, EVP_PKEY_free>>;
using LBioPtr = std::unique_ptr<BIO, LOpenSslFree<BIO, BIO_free_all>>;
using LGeneralNamesPtr =
    std::unique_ptr<GENERAL_NAMES, LOpenSslFree<GENERAL_NAMES, GENERAL_NAMES_free>>;
using LX509ExtensionPtr =
    std::unique_ptr<X509_EXTENSION, LOpenSslFree<X509_EXTENSION, X509_EXTENSION_free>>;
