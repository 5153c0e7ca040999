// The operator and a slow service: input made while the component waits is dropped, never
// handled afterwards; after a second the component shows what it waits for, for how long, and a
// Cancel (Esc too) that ends a query as a failed one. The service is a loopback server in the
// test process. (A cancelled update: tests/pages/LostAnswerTests.cpp.)
#include "controls/ServiceWait.h"
#include "http/HttpExchange.h"
#include "support/PageDriver.h"
#include "support/SmallOperation.h"

#include <QLabel>
#include <QTimer>

#include <optional>
#include <thread>

using namespace stowline;
using namespace std::chrono_literals;
using test::qs;
using test::ServerBehaviour;

namespace {

class OperatorWaits : public ::testing::Test {
protected:
    void SetUp() override {
        http::setHttpTimeouts({2'000, 3});
        component.show();
        component.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&component));
    }
    void TearDown() override { http::setHttpTimeouts(saved); }

    template <typename T> T* control(const char* name) { return test::child<T>(component, name); }

    const http::HttpTimeouts saved = http::httpTimeouts();
    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    Stowline component;
};

// The operator saves a change, then, while the service takes its time, clicks another row,
// presses the arrow key in the list, and clicks and presses the Update button again.
TEST_F(OperatorWaits, ClicksAndKeysMadeWhileAnUpdateWaitsChangeNothingAfterwards) {
    test::queueLoad(server);
    component.LoadData(server.baseUrl());
    auto* list = control<controls::ListView>("lstRoute");
    auto* update = control<QPushButton>("cmdAddRoute");
    test::clickRow(*list, 1);
    test::click(control<QPushButton>("cmdChangeRoute"));
    test::retype(control<QLineEdit>("txtRouteDesc"), qs("Changed"));
    server.queueBehaviour(
        ServerBehaviour::respond(200, test::soapAnswer("UpdateDeliveryRoute", "")).after(1500ms));
    server.queueBehaviour(test::smallOperationAnswer("GetDeliveryRoute"));
    server.queueBehaviour(test::smallOperationAnswer("GetRelativeData"));
    server.clearRequests();
    boxes.clear();

    bool fired = false;
    QTimer::singleShot(300, [&] {
        test::clickRow(*list, 2);
        QTest::keyClick(list, Qt::Key_Down);
        test::click(update);
        QTest::keyClick(update, Qt::Key_Space);
        fired = true;
    });
    test::click(update);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired; }));
    QCoreApplication::processEvents();

    EXPECT_EQ(test::operationsReceived(server),
              QByteArrayList({"UpdateDeliveryRoute", "GetDeliveryRoute", "GetRelativeData"}));
    EXPECT_EQ(test::selectedPosition(*list), 1) << "the selection moved";
    EXPECT_EQ(update->text(), qs("Add Route")) << "a click entered another mode";
    EXPECT_EQ(boxes.prompts(), QStringList{qs("Route has been updated successfully!!!!")});
}

// LoadData's first query gets no answer. A second later the indication shows over the
// component; the operator cancels, with its button or Esc: the query is reported once as
// cancelled, and the load goes on with the other three.
TEST_F(OperatorWaits, TheIndicationShowsAfterASecondAndCancelEndsTheQueryAsAFailedOne) {
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Esc" : "Cancel clicked");
        server.clearRequests();
        boxes.clear();
        log.clear();
        server.queueBehaviour(ServerBehaviour::neverAnswer());
        for (const char* operation :
             {"GetRelativeData", "GetDeliveryRoute", "GetStorageLocation"}) {
            server.queueBehaviour(test::smallOperationAnswer(operation));
        }
        QStringList shown;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* cancel = component.findChild<QPushButton*>(qs("cmdCancelExchange"));
            if (cancel == nullptr || !cancel->isVisible()) {
                return;
            }
            poll.stop();
            auto* indication = component.findChild<QWidget*>(qs("BusyIndication"));
            ASSERT_NE(indication, nullptr);
            for (const QLabel* label : indication->findChildren<QLabel*>()) {
                shown << label->text();
            }
            shown << cancel->text() << indication->accessibleName();
            EXPECT_EQ(indication->geometry(), component.rect()) << "not over the whole component";
            EXPECT_TRUE(cancel->hasFocus());
            escape ? QTest::keyClick(cancel, Qt::Key_Escape) : test::click(cancel);
        });
        poll.start(10);
        component.LoadData(server.baseUrl());

        EXPECT_EQ(shown, QStringList({"Waiting for the service: GetFacilities", "Time waited: 1 s",
                                      "Cancel", "Waiting for the service"}));
        EXPECT_EQ(boxes.errorBoxes(), 1);
        EXPECT_EQ(log.procedures(), QStringList{qs("ReturnWebserviceXML")});
        EXPECT_TRUE(log.entries().value(0).contains(qs("cancelled by the operator")))
            << log.entries().value(0).toStdString();
        EXPECT_EQ(test::operationsReceived(server).size(), 4);
        EXPECT_TRUE(test::entries(*control<controls::DropDown>("cboFacility3")).isEmpty());
        EXPECT_EQ(test::column(*control<controls::ListView>("lstRoute"), 0),
                  QStringList({"A1", "B2"}));
        EXPECT_EQ(component.findChild<QWidget*>(qs("BusyIndication")), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

// A worker thread of the host has no windows to keep alive: its exchange simply blocks, with no
// cancellation to ask for.
TEST(ServiceWait, OffTheUserInterfaceThreadTheExchangeSimplyBlocks) {
    std::optional<system::Cancellation*> given;
    std::thread([&] {
        controls::waitForService(qs("GetFacilities"), [&](system::Cancellation* c) { given = c; });
    }).join();
    EXPECT_EQ(given, std::optional<system::Cancellation*>(nullptr));
}

} // namespace
