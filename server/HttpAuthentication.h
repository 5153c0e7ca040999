#pragma once

#include "HttpSecurity.h"

#include <string>
#include <string_view>

struct MHD_Connection;

namespace stowline::server {

// Whether two secrets are equal, in a time that depends on the length of `given` only, so that
// timing the comparison tells a guesser nothing about `expected`.
bool sameSecret(std::string_view given, std::string_view expected);

// The credentials a request must carry when the server asks for them: Digest (SHA-256), which
// never sends the password, and over TLS Basic as well. Over plain HTTP a Basic password would
// cross the network readable, so it is refused there even when it is right.
class HttpAuthentication {
public:
    enum class Outcome {
        Accepted,
        Missing,   // no Authorization header: the client has not been challenged yet
        Wrong,     // credentials offered and refused
        StaleNonce // Digest with a nonce that has expired or was used up: challenged anew
    };

    HttpAuthentication(const HttpSecurity& security, bool tls);

    bool asksForCredentials() const { return !m_user.empty(); }
    Outcome check(MHD_Connection* connection) const;
    // Queues 401 with the challenges this server accepts; `stale` tells a Digest client that
    // only its nonce was out of date.
    bool queueChallenge(MHD_Connection* connection, bool stale) const;

    // How long a Digest nonce is accepted.
    static constexpr unsigned NonceSeconds = 300;

private:
    std::string m_user;
    std::string m_password;
    bool m_tls;
};

} // namespace stowline::server
