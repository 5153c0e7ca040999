// The error box's details as an operator meets them on the route page, with credentials in the
// server name: a change the service refuses, then a service that has stopped. The box stays the
// fixed one; its details are the event-log entry's description (the security tests check that
// no detail shows a password the service quotes back).
#include "support/PageDriver.h"

using namespace stowline;
using namespace stowline::test;

namespace {

TEST_F(PageTest, TheErrorBoxOffersTheEntrysDescription) {
    component->LoadData(server->serverName().replace("://", "://clerk:S3cr%21t@"));
    showPage(0);
    auto* list = control<controls::ListView>("lstRoute");
    clickRow(*list, positionOf(*list, qs("H2")));
    click(control<QPushButton>("cmdChangeRoute"));
    retype(control<QLineEdit>("txtRouteDesc"), QString(60, QLatin1Char('n')));
    for (const char* details :
         {"The service answered with HTTP status 500: Description is 60 characters long; at most "
          "50 are allowed",
          "Couldn't connect to server"}) {
        SCOPED_TRACE(details);
        clearRecords();
        click(control<QPushButton>("cmdAddRoute")); // Update, refused or not sent
        ASSERT_EQ(boxes.errorBoxes(), 1);
        ASSERT_EQ(log.entries().size(), 1);
        const controls::MessageBoxRequest& box = boxes.shown().back(); // prompt, title: fixed
        EXPECT_TRUE(box.details.contains(qs(details))) << box.details.toStdString();
        EXPECT_TRUE(log.entries()[0].contains("Error Description - " + box.details + "\r\n"));
        EXPECT_FALSE(box.details.contains("S3cr"));
        if (server->isRunning()) {
            server->stop();
        }
    }
}

} // namespace
