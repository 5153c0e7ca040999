#include "TlsCredentials.h"

#include <gnutls/gnutls.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace stowline::server {
namespace {

std::string fileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return text.str();
}

gnutls_datum_t datum(const std::string& text) {
    // GnuTLS only reads through it.
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())),
            static_cast<unsigned>(text.size())};
}

} // namespace

TlsCredentials readTlsCredentials(const HttpSecurity& security) {
    const std::string what = "cannot load the certificate " + security.certificateFile +
                             " with the key " + security.keyFile + ": ";
    TlsCredentials pem;
    try {
        pem.certificate = fileText(security.certificateFile);
        pem.key = fileText(security.keyFile);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(what + e.what());
    }
    gnutls_certificate_credentials_t raw = nullptr;
    if (gnutls_certificate_allocate_credentials(&raw) != GNUTLS_E_SUCCESS) {
        throw std::runtime_error(what + "out of memory");
    }
    const std::unique_ptr<gnutls_certificate_credentials_st,
                          decltype(&gnutls_certificate_free_credentials)>
        credentials(raw, gnutls_certificate_free_credentials);
    const gnutls_datum_t certificate = datum(pem.certificate);
    const gnutls_datum_t key = datum(pem.key);
    const int loaded = gnutls_certificate_set_x509_key_mem2(credentials.get(), &certificate, &key,
                                                            GNUTLS_X509_FMT_PEM, nullptr, 0);
    if (loaded < 0) {
        throw std::runtime_error(what + gnutls_strerror(loaded));
    }
    return pem;
}

} // namespace stowline::server
