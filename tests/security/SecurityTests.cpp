// Authentication through the server name's user-info, TLS with certificate verification, and
// that the password shows up in no message box, event-log entry or server log line.
#include "platform/HttpExchange.h"
#include "platform/PasswordRedaction.h"
#include "platform/UrlUserInfo.h"
#include "service/ServiceClient.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "support/RecordingHttpServer.h"
#include "support/StandInServer.h"

#include <stowline/ServiceNamespace.h>

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>

namespace stowline {
namespace {

using service::QueryOperation;
using service::ServiceClient;
using test::StandInServer;

// Distinctive, with a colon, an "@", a slash and a non-ASCII letter, so that it must be
// percent-encoded in the server name and decoded before it is sent.
const QString Password = QStringLiteral("Qz7:w@t/ä-kX");
const QString EncodedPassword = QStringLiteral("Qz7%3Aw%40t%2F%C3%A4-kX");

QString withCredentials(const QString& serverName, const QString& userInfo) {
    return QString(serverName)
        .replace(QStringLiteral("://"), QStringLiteral("://") + userInfo + '@');
}

// Every text the operator or an administrator could read: the boxes, the log, the server's
// error output. None may hold the password in either form.
void expectNoPassword(const test::MessageBoxRecorder& boxes, const test::EventLogRecorder& log,
                      const QString& serverErrors, const char* what) {
    QStringList texts = log.entries();
    for (const platform::MessageBoxRequest& box : boxes.shown()) {
        texts << box.prompt << box.title;
    }
    texts << serverErrors;
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains(Password) || text.contains(EncodedPassword))
            << what << ": " << text.toStdString();
    }
}

void expectOneReportNaming(const test::EventLogRecorder& log, const QString& text,
                           const char* what) {
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ReturnWebserviceXML")}) << what;
    EXPECT_TRUE(log.entries().value(0).contains(text))
        << what << ": " << log.entries().value(0).toStdString();
}

TEST(PasswordRedaction, HidesThePasswordAndSplitsTheUserInfoOff) {
    struct Case {
        QString url, redacted, address; // address: what the HTTP client is given
    };
    const std::vector<Case> cases = {
        {"http://stow:" + EncodedPassword + "@h:81/p", "http://stow:***@h:81/p", "http://h:81/p"},
        {"https://stow:p@ss:wd@h/p?q", "https://stow:***@h/p?q", "https://h/p?q"},
        {"stow:pw12@127.0.0.1/a", "stow:***@127.0.0.1/a", "127.0.0.1/a"},
        {"http://h/p?u=http://u:pw12@x", "http://h/p?u=http://u:pw12@x",
         "http://h/p?u=http://u:pw12@x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::withoutPassword(c.url, c.url), c.redacted);
        EXPECT_EQ(platform::splitUserInfo(c.url).address, c.address) << c.url.toStdString();
    }
    // An echo of the decoded password in another text is hidden as well.
    const QString url = "http://stow:" + EncodedPassword + "@h/p";
    EXPECT_EQ(platform::withoutPassword("denied: " + Password, url), "denied: ***");
}

TEST(BasicCredentials, OpenTheServiceAndAreNeverShown) {
    StandInServer server(StandInServer::Data::Demo, 0,
                         {{QStringLiteral("--auth"), "stow:" + Password}, true});
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    const QString name = server.serverName();
    const QString routes = QStringLiteral("SELECT count(*) FROM routes");
    const int routesBefore = server.queryValue(routes).toInt();
    struct Case {
        const char* what;
        QString serverName;
        const char* reported; // in the one report; none when accepted
    };
    const std::vector<Case> cases = {
        {"right credentials", withCredentials(name, "stow:" + EncodedPassword), nullptr},
        {"wrong password", withCredentials(name, "stow:Qz7-wrong"), "HTTP status 401"},
        {"no credentials", name, "HTTP status 401"},
        {"no scheme", "stow:" + EncodedPassword + "@" + name.mid(7), "not an absolute"},
    };
    int added = 0;
    for (const Case& c : cases) {
        boxes.clear();
        log.clear();
        ServiceClient client;
        client.setServerName(c.serverName);
        const QString facilities = client.query(QueryOperation::GetFacilities);
        EXPECT_EQ(facilities.contains(QStringLiteral("<Table")), c.reported == nullptr) << c.what;
        if (c.reported == nullptr) {
            // An update's body must arrive whole after the challenge, or the service refuses it.
            EXPECT_TRUE(client.AddRouteSOAP(1, QStringLiteral("Z9"), QStringLiteral("Auth")));
            ++added;
            EXPECT_TRUE(log.entries().isEmpty()) << c.what;
        } else {
            expectOneReportNaming(log, QString::fromUtf8(c.reported), c.what);
        }
        EXPECT_EQ(server.queryValue(routes).toInt(), routesBefore + added) << c.what;
        expectNoPassword(boxes, log, QString(), c.what);
    }
    server.stop();
    // The wrong password was logged, so the server's output is the one looked at.
    EXPECT_TRUE(server.errorOutput().contains(QStringLiteral("wrong credentials")));
    expectNoPassword(boxes, log, server.errorOutput(), "server log");
}

// Other schemes, against a loopback server that challenges once and records the follow-up.
TEST(OtherSchemes, AreAnsweredWithTheDecodedCredentials) {
    // No operator's ticket may take part.
    qputenv("KRB5CCNAME", "FILE:/nonexistent/stowline-test-ccache");
    const auto challenge = [](const QByteArray& scheme) {
        return test::ServerBehaviour::rawResponse(
            "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: " + scheme +
            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    };
    struct Case {
        const char* what;
        QByteArray challenge;
        QByteArray authorizationStart; // of the second request; empty: it carries none
        const char* reported;          // in the one report; none when accepted
    };
    const std::vector<Case> cases = {
        {"Digest", R"(Digest realm="Stowline", nonce="4f1d", qop="auth")",
         R"(Digest username="stow ä")", nullptr},
        // Challenged anew on each fresh connection, the handshake would start over forever.
        {"NTLM", "NTLM", "NTLM TlRMTVNTUAAB", "again and again"},
        {"Negotiate without a ticket", "Negotiate", {}, "HTTP status 401"},
    };
    for (const Case& c : cases) {
        test::RecordingHttpServer recorder;
        recorder.queueBehaviour(challenge(c.challenge));
        if (c.reported != nullptr) {
            recorder.setBehaviour(challenge(c.challenge));
        }
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        ServiceClient client;
        client.setServerName(
            withCredentials(recorder.baseUrl(), "stow%20%C3%A4:" + EncodedPassword));
        EXPECT_EQ(client.AddRouteSOAP(1, QStringLiteral("Z9"), QStringLiteral("Auth")),
                  c.reported == nullptr)
            << c.what;
        const std::vector<test::RecordedRequest> requests = recorder.requests();
        ASSERT_GE(requests.size(), 2u) << c.what;
        const test::RecordedRequest& followUp = requests[1];
        EXPECT_FALSE(requests[0].hasHeader("Authorization")) << c.what;
        EXPECT_EQ(followUp.hasHeader("Authorization"), !c.authorizationStart.isEmpty()) << c.what;
        EXPECT_TRUE(followUp.header("Authorization").startsWith(c.authorizationStart))
            << c.what << ": " << followUp.header("Authorization").toStdString();
        // The NTLM probe goes without a body; every other second request repeats it whole.
        EXPECT_TRUE(followUp.complete) << c.what;
        EXPECT_EQ(followUp.body, c.challenge == "NTLM" ? QByteArray() : requests[0].body) << c.what;
        if (c.reported != nullptr) {
            expectOneReportNaming(log, QString::fromUtf8(c.reported), c.what);
        }
        expectNoPassword(boxes, log, QString(), c.what);
    }
}

// Makes a CA and a certificate for 127.0.0.1 signed by it; false when openssl failed.
bool makeCertificates(const QTemporaryDir& dir) {
    const QStringList common = {"req",    "-x509",    "-newkey",
                                "ec",     "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes", "-days",    "2"};
    const QStringList ca = {"-keyout", dir.filePath("ca.key"), "-out", dir.filePath("ca.pem"),
                            "-subj",   "/CN=Stowline Test CA"};
    const QStringList server = {"-keyout", dir.filePath("server.key"),
                                "-out",    dir.filePath("server.pem"),
                                "-subj",   "/CN=localhost",
                                "-addext", "subjectAltName=IP:127.0.0.1",
                                "-addext", "basicConstraints=critical,CA:FALSE",
                                "-CA",     dir.filePath("ca.pem"),
                                "-CAkey",  dir.filePath("ca.key")};
    for (const QStringList& arguments : {common + ca, common + server}) {
        if (QProcess::execute(QStringLiteral("openssl"), arguments) != 0) {
            return false;
        }
    }
    return true;
}

TEST(Tls, OnlyAVerifiedCertificateIsAcceptedAndTheDescriptionNamesHttps) {
    const QTemporaryDir dir;
    ASSERT_TRUE(makeCertificates(dir));
    StandInServer server(StandInServer::Data::Demo, 0,
                         {{QStringLiteral("--auth"), "stow:" + Password, QStringLiteral("--tls"),
                           dir.filePath("server.pem"), dir.filePath("server.key")},
                          true});
    ASSERT_TRUE(server.serverName().startsWith(QStringLiteral("https://127.0.0.1:")));
    for (const bool trusted : {true, false}) {
        const char* what = trusted ? "trusted" : "untrusted";
        platform::setTestCertificateAuthorities(trusted ? dir.filePath("ca.pem") : QString());
        test::MessageBoxRecorder boxes;
        test::EventLogRecorder log;
        ServiceClient client;
        client.setServerName(withCredentials(server.serverName(), "stow:" + EncodedPassword));
        const QString facilities = client.query(QueryOperation::GetFacilities);
        EXPECT_EQ(facilities.contains(QStringLiteral("<Table")), trusted) << what;
        if (trusted) {
            EXPECT_TRUE(log.entries().isEmpty()) << what;
        } else {
            EXPECT_TRUE(facilities.isEmpty());
            expectOneReportNaming(log, QStringLiteral("certificate"), what);
        }
        expectNoPassword(boxes, log, server.errorOutput(), what);
    }
    platform::setTestCertificateAuthorities(QString());

    // The service description too needs the credentials, and points clients at https.
    httplib::Client client(server.serverName().toStdString());
    client.set_ca_cert_path(dir.filePath("ca.pem").toStdString());
    const std::string wsdl = std::string(AsmxPath) + "?WSDL";
    const httplib::Result refused = client.Get(wsdl.c_str());
    ASSERT_TRUE(refused) << httplib::to_string(refused.error());
    EXPECT_EQ(refused->status, 401);
    EXPECT_EQ(refused->get_header_value("WWW-Authenticate"), R"(Basic realm="Stowline")");
    client.set_basic_auth("stow", Password.toStdString());
    const httplib::Result served = client.Get(wsdl.c_str());
    ASSERT_TRUE(served) << httplib::to_string(served.error());
    EXPECT_NE(served->body.find(R"(location=")" + server.serverName().toStdString() + AsmxPath),
              std::string::npos)
        << served->body;
}

} // namespace
} // namespace stowline
