// Authentication through the server name's user-info, TLS with certificate verification, and
// that the password shows up in no message box or event-log entry (the server's log is its own
// tests' business).
#include "http/HttpExchange.h"
#include "http/PasswordRedaction.h"
#include "http/UrlUserInfo.h"
#include "service/ServiceClient.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"
#include "support/StandInServer.h"
#include "support/TestCertificates.h"

#include <stowline/ServiceNamespace.h>

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace stowline {
namespace {

using service::ServiceClient;
using test::StandInServer;

// Distinctive, with a colon, an "@", a slash and a non-ASCII letter, so that it must be
// percent-encoded in the server name and decoded before it is sent.
const QString Password = QStringLiteral("Qz7:w@t/ä-kX");
const QString Encoded = QStringLiteral("Qz7%3Aw%40t%2F%C3%A4-kX");

QString withCredentials(const QString& serverName, const QString& userInfo) {
    return QString(serverName).replace("://", "://" + userInfo + '@');
}

bool showsPassword(const QString& text) {
    return text.contains(Password) || text.contains(Encoded);
}

// One report naming `reported`, or none when it is null; and no box (its details included) or
// entry shows the password.
void expectReport(const test::MessageBoxRecorder& boxes, const test::EventLogRecorder& log,
                  const char* reported, const char* what) {
    EXPECT_EQ(log.procedures(),
              reported == nullptr ? QStringList() : QStringList{"ReturnWebserviceXML"})
        << what;
    EXPECT_TRUE(reported == nullptr || log.entries().value(0).contains(reported))
        << what << ": " << log.entries().value(0).toStdString();
    // The error box's details say the cause as well.
    EXPECT_TRUE(reported == nullptr || boxes.shown().at(0).details.contains(reported)) << what;
    QString shown = log.entries().join('\n');
    for (const controls::MessageBoxRequest& box : boxes.shown()) {
        shown += '\n' + box.prompt + '\n' + box.title + '\n' + box.details;
    }
    EXPECT_FALSE(showsPassword(shown)) << what << ": " << shown.toStdString();
}

TEST(PasswordRedaction, HidesThePasswordAndSplitsTheUserInfoOff) {
    const QString cases[][3] = {
        // server name, as shown, as given to the HTTP client
        {"http://stow:" + Encoded + "@h:81/p", "http://stow:***@h:81/p", "http://h:81/p"},
        {"https://stow:p@ss:wd@h/p?q", "https://stow:***@h/p?q", "https://h/p?q"},
        {"stow:pw12@127.0.0.1/a", "stow:***@127.0.0.1/a", "127.0.0.1/a"},
        // No scheme, and a "://" further on: the colon is no scheme character.
        {"stow:pw12@127.0.0.1/a?to=http://x", "stow:***@127.0.0.1/a?to=http://x",
         "127.0.0.1/a?to=http://x"},
        {"http://h/p?u=http://u:pw12@x", "http://h/p?u=http://u:pw12@x",
         "http://h/p?u=http://u:pw12@x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(http::withoutPassword(c[0], c[0]), c[1]);
        EXPECT_EQ(http::splitUserInfo(c[0]).address, c[2]);
    }
    // An echo of the password in another text is hidden as well: decoded, percent-encoded with
    // lower-case digits, and inside the Basic token (base64 of "user:password").
    for (const QString& echo : {Password, QStringLiteral("Qz7%3aw%40t%2f%c3%a4-kX"),
                                QString::fromLatin1(("stow:" + Password).toUtf8().toBase64())}) {
        EXPECT_EQ(
            http::withoutPassword("denied: Basic " + echo + ".", "http://stow:" + Encoded + "@h/p"),
            "denied: Basic ***.");
    }
}

// Other schemes, and Basic over http, against a loopback server that challenges once and
// records what follows.
TEST(OtherSchemes, AreAnsweredWithTheDecodedCredentialsAndBasicNeverOverHttp) {
    // No operator's ticket may take part.
    qputenv("KRB5CCNAME", "FILE:/nonexistent/stowline-test-ccache");
    const struct {
        const char* what;
        QByteArray challenge;
        QByteArray authorizationStart; // of the second request; empty: none carries any
        const char* reported;          // none when accepted
    } cases[] = {
        {"Digest", R"(Digest realm="Stowline", nonce="4f1d", qop="auth")",
         R"(Digest username="stow ä")", nullptr},
        // Challenged anew on each fresh connection, the handshake would start over forever.
        {"NTLM", "NTLM", "NTLM TlRMTVNTUAAB", "again and again"},
        {"Negotiate without a ticket", "Negotiate", {}, "HTTP status 401"},
        // Over http Basic would show the password to anyone in the middle.
        {"Basic over http", R"(Basic realm="Stowline")", {}, "HTTP status 401"},
    };
    for (const auto& c : cases) {
        const auto challenge = test::ServerBehaviour::rawResponse(
            "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: " + c.challenge +
            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        test::RecordingHttpServer recorder;
        recorder.queueBehaviour(challenge);
        if (c.reported != nullptr) {
            recorder.setBehaviour(challenge);
        }
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        ServiceClient client;
        client.setServerName(withCredentials(recorder.baseUrl(), "stow%20%C3%A4:" + Encoded));
        EXPECT_EQ(client.AddRouteSOAP(1, "Z9", "Auth") == service::ExchangeOutcome::Answered,
                  c.reported == nullptr)
            << c.what;
        const std::vector<test::RecordedRequest> requests = recorder.requests();
        ASSERT_FALSE(requests.empty()) << c.what;
        EXPECT_TRUE(requests[0].header("Authorization").isNull()) << c.what;
        const QByteArray authorization =
            requests.size() > 1 ? requests[1].header("Authorization") : QByteArray();
        EXPECT_TRUE(c.authorizationStart.isEmpty() ? authorization.isNull()
                                                   : authorization.startsWith(c.authorizationStart))
            << c.what << ": " << authorization.data();
        // The NTLM probe goes without a body; every other second request repeats it whole.
        EXPECT_TRUE(requests.size() < 2 ||
                    (requests[1].complete &&
                     requests[1].body == (c.challenge == "NTLM" ? QByteArray() : requests[0].body)))
            << c.what;
        expectReport(boxes, log, c.reported, c.what);
    }
}

// Basic credentials over TLS: the service opens only to the right ones over a verified
// connection of TLS 1.2 or later. A service that speaks nothing newer than TLS 1.1 is refused,
// also where the system's TLS library would still accept it (an RSA key exchange needs no
// legacy signature).
TEST(BasicOverTls, OpensWithTheRightCredentialsAndAVerifiedCertificateOnly) {
    const QTemporaryDir dir;
    ASSERT_TRUE(test::makeTestCertificates(dir.path()));
    const QString oldTls = "127.0.0.1:" + QString::number(test::RecordingHttpServer().port());
    QProcess oldTlsServer;
    oldTlsServer.start("openssl", {"s_server", "-accept", oldTls, "-cert",
                                   dir.filePath("server.pem"), "-key", dir.filePath("server.key"),
                                   "-tls1_1", "-cipher", "AES128-SHA:@SECLEVEL=0", "-www"});
    QByteArray said;
    while (!said.contains("ACCEPT") && oldTlsServer.waitForReadyRead(30'000)) { // it listens
        said += oldTlsServer.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("ACCEPT")) << said.toStdString();
    StandInServer server(StandInServer::Data::Demo,
                         {{"--auth", "stow:" + Password, "--tls", dir.filePath("server.pem"),
                           dir.filePath("server.key")}});
    const QString name = server.serverName();
    ASSERT_TRUE(name.startsWith("https://127.0.0.1:"));
    const QString routes = "SELECT count(*) FROM routes";
    const int routesBefore = server.queryValue(routes).toInt();
    const QString right = withCredentials(name, "stow:" + Encoded);
    const struct {
        const char* what;
        QString serverName;
        bool trusted;
        const char* reported; // none when accepted
    } cases[] = {
        {"right credentials", right, true, nullptr},
        {"wrong password", withCredentials(name, "stow:Qz7-wrong"), true, "HTTP status 401"},
        {"no scheme", "stow:" + Encoded + "@" + name.mid(8), true, "not an absolute"},
        {"untrusted certificate", right, false, "certificate"},
        {"TLS 1.1 only", "https://stow:" + Encoded + "@" + oldTls, true, "SSL connect error"},
    };
    for (const auto& c : cases) {
        http::setTestCertificateAuthorities(c.trusted ? dir.filePath("ca.pem") : QString());
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        ServiceClient client;
        client.setServerName(c.serverName);
        // An update's body must arrive whole after the challenge, or the service refuses it.
        EXPECT_EQ(client.AddRouteSOAP(1, "Z9", "Auth") == service::ExchangeOutcome::Answered,
                  c.reported == nullptr)
            << c.what;
        expectReport(boxes, log, c.reported, c.what);
    }
    http::setTestCertificateAuthorities(QString());
    EXPECT_EQ(server.queryValue(routes).toInt(), routesBefore + 1);
    oldTlsServer.kill();
    oldTlsServer.waitForFinished();
}

} // namespace
} // namespace stowline
