#pragma once

#include "DigestNonces.h"
#include "HttpSecurity.h"

#include <string>
#include <string_view>

struct MHD_Connection;

namespace stowline::server {

// The credentials a request must carry when the server asks for them: Digest (SHA-256), which
// never sends the password, and over TLS Basic as well. Over plain HTTP a Basic password would
// cross the network readable, so it is refused there even when it is right.
//
// Nothing in the answers tells a guesser which user names exist: a Digest nonce this server did
// not give, or gave too long ago, is stale whoever the user is; the user name and the response
// are then judged together.
class HttpAuthentication {
public:
    enum class Outcome {
        Accepted,
        Missing,   // no Authorization header: the client has not been challenged yet
        Wrong,     // credentials offered and refused
        StaleNonce // a Digest nonce the server does not know (any more), or a count already
                   // used with it: challenged anew, the password not judged
    };

    HttpAuthentication(const HttpSecurity& security, bool tls);

    bool asksForCredentials() const { return !m_user.empty(); }
    // For the request's method and its path (as the library decoded it).
    Outcome check(MHD_Connection* connection, std::string_view method, std::string_view path);
    // Queues 401 with the challenges this server accepts, with a new nonce; `stale` tells a
    // Digest client that only its nonce was out of date, so that it asks again at once.
    bool queueChallenge(MHD_Connection* connection, bool stale);

    // How long a Digest nonce is accepted.
    static constexpr std::chrono::seconds NonceLifetime{300};
    // Digest nonces whose counts are kept: those of far more clients than ever ask at once.
    static constexpr std::size_t RememberedNonces = 4096;

private:
    Outcome checkBasic(MHD_Connection* connection) const;
    Outcome checkDigest(std::string_view parameters, std::string_view method,
                        std::string_view path);

    std::string m_user;
    std::string m_password;
    bool m_tls;
    DigestNonces m_nonces{NonceLifetime, RememberedNonces};
};

} // namespace stowline::server
