// Who may reach the server: credentials by Digest, Basic only over TLS, wrong ones answered
// slowly and logged as one line; TLS with forward secrecy and AEAD ciphers only; and an
// address that other machines can reach only with both credentials and TLS.
#include "support/ServerTestSupport.h"
#include "support/TestCertificates.h"

#include <stowline/ServiceNamespace.h>

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <thread>

using namespace stowline::test;
using namespace std::chrono_literals;
using Scheme = HttpOptions::Scheme;

TEST(Access, ByDigestOrOverTlsWithForwardSecrecyOnly) {
    // With a colon, an "@" and a non-ASCII letter, as passwords come.
    const std::string password = "Qz7:w@t-\xC3\xA4";
    const std::string right = "stow:" + password;
    const std::string wrong = "stow:Qz7-wrong";
    // One server over plain HTTP and one over TLS, both reading the credentials from a file
    // that only its owner may read.
    const QTemporaryDir folder;
    ASSERT_TRUE(makeTestCertificates(folder.path()));
    QFile file(folder.filePath("credentials"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write((right + "\n").c_str()) > 0);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QStringList credentials{"--auth-file", file.fileName()};
    const QStringList tlsFiles{"--tls", folder.filePath("server.pem"),
                               folder.filePath("server.key")};
    StandInServer plain(StandInServer::Data::Demo, {credentials, true});
    const StandInServer tls(StandInServer::Data::Demo, {credentials + tlsFiles, true});
    const auto over = [&](const StandInServer& server, Scheme scheme, const std::string& user,
                          const char* ciphers = "") {
        return HttpOptions{scheme, user,
                           &server == &tls ? folder.filePath("ca.pem").toStdString() : "", ciphers,
                           ""};
    };

    const std::string wsdl = std::string(stowline::AsmxPath) + "?WSDL";
    const struct {
        const StandInServer& server;
        Scheme scheme;
        std::string credentials;
        int status;
    } cases[] = {
        {plain, Scheme::None, "", 401},
        {plain, Scheme::Digest, right, 200},
        // The password has crossed the network readable: refused even when right.
        {plain, Scheme::Basic, right, 401},
        {plain, Scheme::Digest, wrong, 401},
        {tls, Scheme::None, "", 401},
        {tls, Scheme::Basic, right, 200},
        {tls, Scheme::Digest, right, 200},
        {tls, Scheme::Basic, wrong, 401},
    };
    for (const auto& c : cases) {
        const bool overTls = &c.server == &tls;
        SCOPED_TRACE((overTls ? "TLS " : "plain ") + std::to_string(static_cast<int>(c.scheme)) +
                     " " + c.credentials);
        const auto start = std::chrono::steady_clock::now();
        const HttpResult answer = getPath(c.server, wsdl, over(c.server, c.scheme, c.credentials));
        EXPECT_EQ(answer.status, c.status);
        if (c.status == 401) {
            EXPECT_NE(answer.headers.find("Authenticate: Digest realm=\"Stowline\""),
                      std::string::npos);
            EXPECT_EQ(answer.headers.find("Authenticate: Basic realm=\"Stowline\"") !=
                          std::string::npos,
                      overTls)
                << answer.headers;
        } else {
            EXPECT_NE(answer.body.find("location=\"" + c.server.serverName().toStdString()),
                      std::string::npos);
        }
        // A guesser gets one answer a second from each address.
        if (c.credentials == wrong) {
            EXPECT_GE(std::chrono::steady_clock::now() - start, 900ms);
        }
    }

    // TLS 1.2 and 1.3 only, with ephemeral elliptic-curve keys and AEAD ciphers: a client that
    // offers only RSA key exchange or CBC ciphers finds no common ground.
    for (const char* ciphers : {"AES128-SHA", "AES256-SHA256", "ECDHE-RSA-AES128-SHA"}) {
        EXPECT_THROW(getPath(tls, wsdl, over(tls, Scheme::Basic, right, ciphers)),
                     std::runtime_error)
            << ciphers;
    }
    EXPECT_EQ(
        getPath(tls, wsdl, over(tls, Scheme::Basic, right, "ECDHE-RSA-AES128-GCM-SHA256")).status,
        200);

    // The component's own client answers the Digest challenge, an update's body included, in
    // LostAnswerTests' cases with credentials.

    // A path with a line break is logged as one line, as is every refusal, without a password.
    EXPECT_EQ(
        getPath(plain, "/x%0D%0Astowline-server:%20forged", over(plain, Scheme::Digest, wrong))
            .status,
        401);
    // The server stops cleanly while it holds back the answer to a wrong password.
    const auto refusals = [&plain] { return plain.errorOutput().count("refused a request"); };
    const auto before = refusals();
    std::jthread held([&] {
        try {
            getPath(plain, wsdl, over(plain, Scheme::Basic, wrong));
        } catch (const std::runtime_error&) {
            // Answered or dropped as the server stops; either will do.
        }
    });
    for (int wait = 0; wait < 1000 && refusals() == before; ++wait) {
        std::this_thread::sleep_for(10ms);
    }
    plain.stop();
    const std::string log = plain.errorOutput().toStdString();
    EXPECT_NE(log.find("refused a request for /x\\r\\nstowline-server: forged from 127.0.0.1"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("\nstowline-server: forged"), std::string::npos) << log;
    EXPECT_EQ(log.find(password), std::string::npos) << log;

    // With both credentials and TLS the server may listen where other machines reach it;
    // without them it refuses to (ServerLoad.EndsWithAnExitCodeAndAReason).
    const StandInServer exposed(
        StandInServer::Data::Empty,
        {credentials + tlsFiles + QStringList{"--listen", "0.0.0.0:0"}, true});
    EXPECT_TRUE(exposed.serverName().startsWith("https://0.0.0.0:"))
        << exposed.serverName().toStdString();
}
