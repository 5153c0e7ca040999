#pragma once

#include <QString>

namespace stowline::test {

// Makes, with the openssl command, a certificate authority (ca.pem) and a certificate for
// 127.0.0.1 signed by it (server.pem, its RSA key server.key) in `folder`; false when that
// fails. With an RSA key a server could offer every kind of key exchange, so that only its
// own policy refuses the weak ones.
bool makeTestCertificates(const QString& folder);

} // namespace stowline::test
