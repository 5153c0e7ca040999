#pragma once

#include "HttpSecurity.h"

#include <string>

namespace stowline::server {

// TLS 1.2 and 1.3 only, with key exchange by elliptic-curve Diffie-Hellman (forward secrecy)
// and AEAD ciphers only; GnuTLS's priority syntax.
inline constexpr const char* TlsPriorities =
    "NORMAL:-VERS-ALL:+VERS-TLS1.3:+VERS-TLS1.2:-KX-ALL:+ECDHE-ECDSA:+ECDHE-RSA:-CIPHER-ALL:"
    "+AES-256-GCM:+CHACHA20-POLY1305:+AES-128-GCM:-MAC-ALL:+AEAD:-GROUP-ALL:+GROUP-X25519:"
    "+GROUP-SECP256R1:+GROUP-SECP384R1:+GROUP-SECP521R1:%SERVER_PRECEDENCE";

// The certificate (chain) and private key named by the security, in PEM.
struct TlsCredentials {
    std::string certificate;
    std::string key;
};

// Reads both files and checks that the key belongs to the certificate. Throws
// std::runtime_error saying which files could not be used, and why.
TlsCredentials readTlsCredentials(const HttpSecurity& security);

} // namespace stowline::server
