#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace stowline::server {

// The parameters of a Digest Authorization header after its scheme, e.g.
// `username="stow", nc=00000001, qop=auth`: names in lower case, quoted values unescaped.
// Nothing when the text is not such a list or names a parameter twice.
std::optional<std::map<std::string, std::string>> digestParameters(std::string_view text);

// SHA-256 of the text, as lower-case hexadecimal.
std::string sha256Hex(std::string_view text);

// What a client that knows the password answers a challenge with, for the quality of
// protection "auth" and the algorithm SHA-256.
struct DigestResponse {
    std::string_view user;
    std::string_view realm;
    std::string_view password;
    std::string_view method;
    std::string_view uri;
    std::string_view nonce;
    std::string_view count;
    std::string_view clientNonce;
};
std::string expectedResponse(const DigestResponse& r);

} // namespace stowline::server
