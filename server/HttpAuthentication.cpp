#include "HttpAuthentication.h"

#include "DigestAuthorization.h"
#include "SameSecret.h"

#include <microhttpd.h>

#include <memory>
#include <strings.h>

namespace stowline::server {
namespace {

constexpr const char* Realm = "Stowline";

struct MhdFree {
    void operator()(char* text) const { MHD_free(text); }
};
using MhdText = std::unique_ptr<char, MhdFree>;

bool startsWithScheme(std::string_view header, std::string_view scheme) {
    return header.size() > scheme.size() && header[scheme.size()] == ' ' &&
           strncasecmp(header.data(), scheme.data(), scheme.size()) == 0;
}

// The nonce count: eight hexadecimal digits, not all zero.
std::optional<std::uint64_t> nonceCount(std::string_view text) {
    std::uint64_t count = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        count = count * 16 + static_cast<std::uint64_t>(digit);
    }
    return text.size() == 8 && count != 0 ? std::optional(count) : std::nullopt;
}

// Whether the uri of the Digest answer names the path requested. Its query is left aside: at
// the one path served it only picks the service description or the page about it.
bool namesPath(std::string_view uri, std::string_view path) {
    std::string decoded(uri.substr(0, uri.find('?')));
    decoded.resize(MHD_http_unescape(decoded.data()));
    return decoded == path;
}

} // namespace

HttpAuthentication::HttpAuthentication(const HttpSecurity& security, bool tls)
    : m_user(security.user), m_password(security.password), m_tls(tls) {}

HttpAuthentication::Outcome HttpAuthentication::check(MHD_Connection* connection,
                                                      std::string_view method,
                                                      std::string_view path) {
    const char* header =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_AUTHORIZATION);
    if (header == nullptr) {
        return Outcome::Missing;
    }
    if (startsWithScheme(header, "Basic")) {
        return checkBasic(connection);
    }
    if (startsWithScheme(header, "Digest")) {
        return checkDigest(std::string_view(header).substr(7), method, path);
    }
    return Outcome::Wrong;
}

HttpAuthentication::Outcome HttpAuthentication::checkBasic(MHD_Connection* connection) const {
    // Over plain HTTP the password has crossed the network readable: it is not even looked at,
    // right or wrong.
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

HttpAuthentication::Outcome HttpAuthentication::checkDigest(std::string_view text,
                                                            std::string_view method,
                                                            std::string_view path) {
    const auto parameters = digestParameters(text);
    if (!parameters) {
        return Outcome::Wrong;
    }
    const auto value = [&parameters](const char* name) -> std::string_view {
        const auto found = parameters->find(name);
        return found != parameters->end() ? std::string_view(found->second) : std::string_view();
    };
    const std::optional<std::uint64_t> count = nonceCount(value("nc"));
    // Only what the challenge offers: SHA-256 (no algorithm named means MD5), "auth".
    if (!count || strcasecmp(std::string(value("algorithm")).c_str(), "SHA-256") != 0 ||
        value("qop") != "auth" || value("cnonce").empty()) {
        return Outcome::Wrong;
    }
    // Before anything that depends on the user: an unknown nonce is stale for every name.
    if (!m_nonces.isCurrent(value("nonce"))) {
        return Outcome::StaleNonce;
    }
    if (!namesPath(value("uri"), path)) {
        return Outcome::Wrong;
    }
    // The same work for any name given: the response expected is this server's user's.
    const bool rightUser = sameSecret(value("username"), m_user);
    const bool rightResponse = sameSecret(
        value("response"), expectedResponse({m_user, Realm, m_password, method, value("uri"),
                                             value("nonce"), value("nc"), value("cnonce")}));
    if (!(rightUser && rightResponse)) {
        return Outcome::Wrong;
    }
    return m_nonces.takeCount(value("nonce"), *count) ? Outcome::Accepted : Outcome::StaleNonce;
}

bool HttpAuthentication::queueChallenge(MHD_Connection* connection, bool stale) {
    const std::unique_ptr<MHD_Response, decltype(&MHD_destroy_response)> response(
        MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT), MHD_destroy_response);
    if (!response) {
        return false;
    }
    if (m_tls) {
        MHD_add_response_header(response.get(), MHD_HTTP_HEADER_WWW_AUTHENTICATE,
                                "Basic realm=\"Stowline\", charset=\"UTF-8\"");
    }
    const std::string digest = "Digest realm=\"Stowline\", qop=\"auth\", algorithm=SHA-256, "
                               "nonce=\"" +
                               m_nonces.give() + "\", opaque=\"stowline\"" +
                               (stale ? ", stale=true" : "");
    MHD_add_response_header(response.get(), MHD_HTTP_HEADER_WWW_AUTHENTICATE, digest.c_str());
    return MHD_queue_response(connection, MHD_HTTP_UNAUTHORIZED, response.get()) == MHD_YES;
}

} // namespace stowline::server
