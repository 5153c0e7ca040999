#pragma once

#include "system/Cancellation.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace stowline::http {

// How long an exchange may take before it is abandoned.
struct HttpTimeouts {
    long connectMilliseconds = 10'000;
    // An exchange that moves fewer than minimumBytesPerSecond, averaged over this many seconds,
    // is a transport failure: a stall, or a trickle that would hold the operator's screen.
    long stallSeconds = 60;
    long minimumBytesPerSecond = 1024;
};
HttpTimeouts httpTimeouts();
void setHttpTimeouts(const HttpTimeouts& timeouts);

// Answers beyond this size are refused, and reading stops as soon as it is passed: the largest
// answer the service's contract allows is a few megabytes, and parsing one takes many times
// its size.
inline constexpr qsizetype MaximumAnswerBytes = qsizetype{64} * 1024 * 1024;

// Tests only: a PEM file of certificate authorities trusted in place of the system's bundle, so
// that a test service can present a certificate of the test's own making. The component never
// sets it; empty (the default) verifies against the system's store.
void setTestCertificateAuthorities(const QString& pemFile);

struct HttpHeader {
    QByteArray name;
    QByteArray value;
};

// Whether a request may go out more than once in one exchange.
enum class Resending {
    // As the HTTP client likes: it sends a request again when a connection it reused died
    // before the answer. For requests that change nothing.
    Allowed,
    // Only in answer to an authentication challenge (a 401, which applied nothing): once a
    // request went out that no challenge answered, the service may have acted on it.
    OnlyAfterChallenge,
};

// The outcome of one exchange. completed is false when the answer never arrived whole; the
// reason is then in transportError, and answerLost tells whether a request had gone out that
// no challenge answered, so that the service may have acted on it.
struct HttpResponse {
    bool completed = false;
    bool answerLost = false;
    QString transportError;
    long status = 0;
    QByteArray body;
};

// One synchronous HTTP POST. The Host header comes from the URL; the given headers follow it
// in order; no Accept or Expect header is sent. Only absolute http and https URLs are used,
// https with TLS 1.2 or later and a certificate that verifies. Credentials in the URL's
// user-info answer a challenge of the service, never sent before one: Digest, NTLM or
// Negotiate, and Basic only over https, where the password does not cross the network
// readable. Without them only Negotiate is tried, with the operator's Kerberos ticket. No text
// of the response quotes the password. Without a cancellation the calling thread blocks until
// the exchange ends. With one it waits in its Qt event loop, which runs the thread's other
// events meanwhile, and the exchange ends as soon as the cancellation is asked for (nothing is
// sent once it was): the response then says why, and answerLost whether a request went out.
HttpResponse httpPost(const QString& url, const std::vector<HttpHeader>& headers,
                      std::string_view body, Resending resending,
                      system::Cancellation* cancellation = nullptr);

} // namespace stowline::http
