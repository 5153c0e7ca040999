// Digest authentication under ordinary concurrency and against a guesser: clients with the right
// password are never refused, a nonce the server does not know or a count already used is
// answered as stale, and no answer tells a user name that exists from one that does not.
#include "support/ServerTestSupport.h"

#include <stowline/ServiceNamespace.h>

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <thread>

using namespace stowline::test;
using namespace std::chrono_literals;

namespace {

const std::string Wsdl = std::string(stowline::AsmxPath) + "?WSDL";

StandInServer::Extras withPassword() {
    return {{"--auth", "stow:secret"}, true};
}

std::string sha256(const std::string& text) {
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// The head of the answer to a GET of the service description, and how long it took.
std::pair<std::string, std::chrono::steady_clock::duration>
answerHead(const StandInServer& server, const std::string& authorization,
           const std::string& target = Wsdl) {
    const auto start = std::chrono::steady_clock::now();
    const RawClient client(server);
    client.send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + authorization +
                "Connection: close\r\n\r\n");
    std::string head = client.receive(10s, "\r\n\r\n");
    return {head, std::chrono::steady_clock::now() - start};
}

std::string nonceOf(const std::string& head) {
    std::smatch found;
    return std::regex_search(head, found, std::regex("nonce=\"([^\"]*)\"")) ? found[1].str() : "";
}

// The status and the challenges, the nonce left out: what must be the same for any user name.
std::string challengesOf(const std::string& head) {
    std::string kept = head.substr(0, head.find("\r\n"));
    const std::regex challenge("\r\nWWW-Authenticate:[^\r]*", std::regex::icase);
    for (auto it = std::sregex_iterator(head.begin(), head.end(), challenge);
         it != std::sregex_iterator(); ++it) {
        kept += it->str();
    }
    return std::regex_replace(kept, std::regex("nonce=\"[^\"]*\""), "nonce=\"\"");
}

// An Authorization header as a client computes it: SHA-256, quality of protection "auth".
std::string digestAuthorization(const std::string& user, const std::string& password,
                                const std::string& nonce, const std::string& count,
                                const std::string& uri) {
    const std::string cnonce = "0a4f113b";
    const std::string response = sha256(sha256(user + ":Stowline:" + password) + ":" + nonce + ":" +
                                        count + ":" + cnonce + ":auth:" + sha256("GET:" + uri));
    return "Authorization: Digest username=\"" + user + "\", realm=\"Stowline\", nonce=\"" + nonce +
           "\", uri=\"" + uri + "\", algorithm=SHA-256, response=\"" + response +
           "\", qop=auth, nc=" + count + ", cnonce=\"" + cnonce + "\"\r\n";
}

} // namespace

// 64 clients, each from an address of its own, each asking four times with the right password:
// every request is answered 200. Nonces that two clients share, or counts the server forgets
// while the nonce is still in use, turned some of them into a refusal after a second.
TEST(Digest, ConcurrentClientsWithTheRightPasswordAreNeverRefused) {
    const StandInServer server(StandInServer::Data::Empty, withPassword());
    std::atomic<int> refused = 0;
    {
        std::vector<std::jthread> clients;
        for (int i = 0; i < 64; ++i) {
            clients.emplace_back([&server, &refused, i] {
                const HttpOptions options{HttpOptions::Scheme::Digest, "stow:secret", "", "",
                                          "127.0.0." + std::to_string(10 + i)};
                for (int request = 0; request < 4; ++request) {
                    try {
                        refused += getPath(server, Wsdl, options).status == 200 ? 0 : 1;
                    } catch (const std::runtime_error&) {
                        ++refused;
                    }
                }
            });
        }
    }
    EXPECT_EQ(refused, 0);
}

// Requests as a guesser may send them. A nonce the server did not give, or a count already used
// with a nonce, is answered at once as stale, whoever the user; a wrong password and an unknown
// user are both answered after the delay for wrong credentials, with the same challenge. The
// uri is the path requested as the client wrote it, escapes and all; another path is wrong.
TEST(Digest, AnUnknownUserIsAnsweredAsAKnownOneAndAUsedCountAsStale) {
    const StandInServer server(StandInServer::Data::Empty, withPassword());
    const std::string given = nonceOf(answerHead(server, "").first);
    ASSERT_FALSE(given.empty());
    const std::string madeUp(64, 'a');
    const std::string escapedWsdl = std::regex_replace(Wsdl, std::regex("\\.asmx"), "%2Easmx");
    const struct {
        std::string user;
        std::string password;
        std::string nonce; // a new one from the server when empty
        std::string count;
        std::string outcome;
        bool delayed;
        std::string target = Wsdl;
        std::string uri = target;
    } cases[] = {
        {"stow", "secret", given, "00000001", "200", false},
        {"stow", "secret", given, "00000001", "401 stale", false},
        {"stow", "secret", given, "00000002", "200", false},
        {"stow", "wrong", madeUp, "00000001", "401 stale", false},
        {"nobody", "wrong", madeUp, "00000001", "401 stale", false},
        {"stow", "wrong", "", "00000001", "401", true},
        {"nobody", "secret", "", "00000001", "401", true},
        {"stow", "secret", "", "00000001", "200", false, escapedWsdl, escapedWsdl},
        {"stow", "secret", "", "00000001", "401", true, Wsdl, "/elsewhere?WSDL"},
    };
    std::vector<std::string> challenges;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user + ":" + c.password + " nonce " + c.nonce + " count " + c.count +
                     " uri " + c.uri);
        const std::string nonce = c.nonce.empty() ? nonceOf(answerHead(server, "").first) : c.nonce;
        const auto [head, took] = answerHead(
            server, digestAuthorization(c.user, c.password, nonce, c.count, c.uri), c.target);
        const bool stale = std::regex_search(head, std::regex("stale=\"?true", std::regex::icase));
        EXPECT_EQ(head.substr(9, 3) + (stale ? " stale" : ""), c.outcome) << head;
        if (c.delayed) {
            EXPECT_GE(took, 900ms);
        }
        challenges.push_back(challengesOf(head));
    }
    EXPECT_EQ(challenges[3], challenges[4]);
    EXPECT_EQ(challenges[5], challenges[6]);
}
