#include "HttpAuthentication.h"

#include <microhttpd.h>

#include <memory>
#include <strings.h>

namespace stowline::server {
namespace {

constexpr const char* Realm = "Stowline";
constexpr const char* Opaque = "stowline";

struct MhdFree {
    void operator()(char* text) const { MHD_free(text); }
};
using MhdText = std::unique_ptr<char, MhdFree>;

bool startsWithScheme(std::string_view header, std::string_view scheme) {
    return header.size() > scheme.size() && header[scheme.size()] == ' ' &&
           strncasecmp(header.data(), scheme.data(), scheme.size()) == 0;
}

} // namespace

bool sameSecret(std::string_view given, std::string_view expected) {
    // Every byte of `given` is compared, with a byte of `expected` or with a stand-in where
    // that is shorter; the verdict is read once at the end.
    unsigned difference = given.size() == expected.size() ? 0U : 1U;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const unsigned char other =
            expected.empty() ? 0U : static_cast<unsigned char>(expected[i % expected.size()]);
        difference |= static_cast<unsigned char>(given[i]) ^ other;
    }
    return difference == 0;
}

HttpAuthentication::HttpAuthentication(const HttpSecurity& security, bool tls)
    : m_user(security.user), m_password(security.password), m_tls(tls) {}

HttpAuthentication::Outcome HttpAuthentication::check(MHD_Connection* connection) const {
    const char* header =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_AUTHORIZATION);
    if (header == nullptr) {
        return Outcome::Missing;
    }
    if (startsWithScheme(header, "Basic")) {
        // Over plain HTTP the password has crossed the network readable: it is not even looked
        // at, right or wrong.
        if (!m_tls) {
            return Outcome::Wrong;
        }
        char* rawPassword = nullptr;
        const MhdText user(MHD_basic_auth_get_username_password(connection, &rawPassword));
        const MhdText password(rawPassword);
        if (user == nullptr || password == nullptr) {
            return Outcome::Wrong;
        }
        // Both compared whatever the first gives.
        const bool rightUser = sameSecret(user.get(), m_user);
        const bool rightPassword = sameSecret(password.get(), m_password);
        return rightUser && rightPassword ? Outcome::Accepted : Outcome::Wrong;
    }
    switch (MHD_digest_auth_check2(connection, Realm, m_user.c_str(), m_password.c_str(),
                                   NonceSeconds, MHD_DIGEST_ALG_SHA256)) {
    case MHD_YES:
        return Outcome::Accepted;
    case MHD_INVALID_NONCE:
        return Outcome::StaleNonce;
    default:
        return Outcome::Wrong;
    }
}

bool HttpAuthentication::queueChallenge(MHD_Connection* connection, bool stale) const {
    const std::unique_ptr<MHD_Response, decltype(&MHD_destroy_response)> response(
        MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT), MHD_destroy_response);
    if (!response) {
        return false;
    }
    if (m_tls) {
        MHD_add_response_header(response.get(), MHD_HTTP_HEADER_WWW_AUTHENTICATE,
                                "Basic realm=\"Stowline\", charset=\"UTF-8\"");
    }
    return MHD_queue_auth_fail_response2(connection, Realm, Opaque, response.get(),
                                         stale ? MHD_YES : MHD_NO,
                                         MHD_DIGEST_ALG_SHA256) == MHD_YES;
}

} // namespace stowline::server
