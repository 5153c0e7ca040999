#include "DigestAuthorization.h"

#include <gnutls/crypto.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace stowline::server {
namespace {

bool isTokenCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

void skipSpace(std::string_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
}

std::string token(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && isTokenCharacter(text[at])) {
        ++at;
    }
    return std::string(text.substr(start, at - start));
}

// A quoted string from its opening quote; nothing when it does not end.
std::optional<std::string> quoted(std::string_view text, std::size_t& at) {
    std::string value;
    for (++at; at < text.size(); ++at) {
        if (text[at] == '"') {
            ++at;
            return value;
        }
        if (text[at] == '\\' && ++at == text.size()) {
            break;
        }
        value += text[at];
    }
    return std::nullopt;
}

} // namespace

std::optional<std::map<std::string, std::string>> digestParameters(std::string_view text) {
    std::map<std::string, std::string> parameters;
    std::size_t at = 0;
    skipSpace(text, at);
    while (at < text.size()) {
        std::string name = token(text, at);
        skipSpace(text, at);
        if (name.empty() || at == text.size() || text[at] != '=') {
            return std::nullopt;
        }
        ++at;
        skipSpace(text, at);
        std::optional<std::string> value =
            at < text.size() && text[at] == '"' ? quoted(text, at) : token(text, at);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!value || !parameters.emplace(std::move(name), std::move(*value)).second) {
            return std::nullopt;
        }
        skipSpace(text, at);
        if (at < text.size() && text[at] != ',') {
            return std::nullopt;
        }
        // Empty list elements are allowed.
        while (at < text.size() && (text[at] == ',' || text[at] == ' ' || text[at] == '\t')) {
            ++at;
        }
    }
    return parameters;
}

std::string sha256Hex(std::string_view text) {
    std::array<unsigned char, 32> hash{};
    gnutls_hash_fast(GNUTLS_DIG_SHA256, text.data(), text.size(), hash.data());
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : hash) {
        hex += Digits[byte >> 4];
        hex += Digits[byte & 0x0F];
    }
    return hex;
}

std::string expectedResponse(const DigestResponse& r) {
    const auto joined = [](std::initializer_list<std::string_view> parts) {
        std::string text;
        for (const std::string_view part : parts) {
            text.append(part).push_back(':');
        }
        text.pop_back();
        return text;
    };
    const std::string secret = sha256Hex(joined({r.user, r.realm, r.password}));
    const std::string request = sha256Hex(joined({r.method, r.uri}));
    return sha256Hex(joined({secret, r.nonce, r.count, r.clientNonce, "auth", request}));
}

} // namespace stowline::server
