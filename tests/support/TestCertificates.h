#pragma once

#include <QString>

namespace stowline::test {

// Makes, with the openssl command, a certificate authority (ca.pem) and a certificate for
// 127.0.0.1 signed by it (server.pem, its key server.key) in `folder`; false when that fails.
bool makeTestCertificates(const QString& folder);

} // namespace stowline::test
