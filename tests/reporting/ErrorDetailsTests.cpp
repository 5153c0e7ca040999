// The error box's details as an operator meets them: a change the service refuses, a service
// that quotes the password back, and a service that has stopped, with credentials in the server
// name. The box itself stays the fixed one; its details are the event-log entry's description.
#include "support/PageDriver.h"
#include "support/RecordingHttpServer.h"

#include <functional>

using namespace stowline;
using namespace stowline::test;

namespace {

const QString Password = QStringLiteral("S3cr!t");

class ErrorDetailsTest : public PageTest {
protected:
    // The server name with a user and the password, percent-encoded.
    static QString withCredentials(const QString& serverName) {
        return QString(serverName).replace("://", "://clerk:S3cr%21t@");
    }
};

TEST_F(ErrorDetailsTest, TheBoxOffersTheEntrysDescriptionWithThePasswordHidden) {
    component->LoadData(withCredentials(server->serverName()));
    showPage(0);
    auto* list = control<controls::ListView>("lstRoute");
    clickRow(*list, positionOf(*list, qs("H2")));
    click(control<QPushButton>("cmdChangeRoute"));
    retype(control<QLineEdit>("txtRouteDesc"), QString(60, QLatin1Char('n')));

    RecordingHttpServer echoing;
    echoing.setBehaviour(ServerBehaviour::respond(
        500,
        R"(<?xml version="1.0"?><soap:Envelope xmlns:soap="http://schemas.xmlsoap.org/soap/envelope/"><soap:Body><soap:Fault><faultcode>soap:Client</faultcode><faultstring>No access for clerk:S3cr!t</faultstring></soap:Fault></soap:Body></soap:Envelope>)"));
    const struct {
        const char* what;
        std::function<void()> act;
        const char* details;
    } cases[] = {
        {"a description the service refuses as too long",
         [&] { click(control<QPushButton>("cmdAddRoute")); },
         "The service answered with HTTP status 500: Description is 60 characters long; at most "
         "50 are allowed"},
        {"a refusal that quotes the password",
         [&] {
             component->ReturnWebserviceXML(withCredentials(echoing.baseUrl()) + "/x",
                                            qs("127.0.0.1"), qs("urn:Update"), qs("<e/>"), true);
         },
         "The service answered with HTTP status 500: No access for clerk:***"},
        {"a stopped service",
         [&] {
             server->stop();
             click(control<QPushButton>("cmdAddRoute"));
         },
         "Couldn't connect to server"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        log.clear();
        c.act();
        ASSERT_EQ(boxes.errorBoxes(), 1);
        ASSERT_EQ(log.entries().size(), 1);
        const controls::MessageBoxRequest& box = boxes.shown().back();
        EXPECT_EQ(box.style, controls::StyleOk);
        EXPECT_EQ(box.title, QString());
        EXPECT_TRUE(box.details.contains(qs(c.details))) << box.details.toStdString();
        EXPECT_TRUE(log.entries()[0].contains("Error Description - " + box.details + "\r\n"));
        EXPECT_FALSE(box.details.contains(Password) || box.details.contains("S3cr%21t"));
    }
}

} // namespace
