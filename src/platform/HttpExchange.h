#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace stowline::platform {

// How long an exchange may take before it is abandoned.
struct HttpTimeouts {
    long connectMilliseconds = 10'000;
    // An exchange that receives nothing for this long is a transport failure.
    long stallSeconds = 60;
};
HttpTimeouts httpTimeouts();
void setHttpTimeouts(const HttpTimeouts& timeouts);

// Tests only: a PEM file of certificate authorities trusted in place of the system's bundle, so
// that a test service can present a certificate of the test's own making. The component never
// sets it; empty (the default) verifies against the system's store.
void setTestCertificateAuthorities(const QString& pemFile);

struct HttpHeader {
    QByteArray name;
    QByteArray value;
};

// The outcome of one exchange. completed is false when the answer never arrived whole; the
// reason is then in transportError.
struct HttpResponse {
    bool completed = false;
    QString transportError;
    long status = 0;
    QByteArray body;
};

// One synchronous HTTP POST. The Host header comes from the URL; the given headers follow it
// in order; no Accept or Expect header is sent. Only absolute http and https URLs are used.
// Credentials in the URL's user-info answer a Basic, Digest, NTLM or Negotiate challenge of the
// service, never sent before one; without them only Negotiate is tried, with the operator's
// Kerberos ticket. An https certificate must verify. No text of the response quotes the password.
HttpResponse httpPost(const QString& url, const std::vector<HttpHeader>& headers,
                      std::string_view body);

} // namespace stowline::platform
