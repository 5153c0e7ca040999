// The component as a host meets it while one of its actions waits, for a slow service or for the
// operator's answer to a box: the host's timers run and its window paints, the host's calls of
// the component are refused with an entry in the event log, and the host may delete the
// component, after which the action ends without touching it. The component sits in a host
// window; the service is a loopback server in the test process; the boxes are real ones.
#include "support/PageDriver.h"
#include "support/SmallOperation.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>

using namespace stowline;
using namespace std::chrono_literals;
using test::qs;
using test::ServerBehaviour;

namespace {

QMessageBox* boxUp() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    return box != nullptr && box->isVisible() ? box : nullptr;
}

// A box or a dialog, shown and waiting for an answer.
QDialog* dialogUp() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

// Counts the paint events a widget receives while counting is on.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool counting = false;
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += counting && event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class HostDuringAction : public ::testing::Test {
protected:
    void SetUp() override {
        controls::setMessageBoxPresenter({});
        component = new Stowline(&window);
        window.resize(component->size());
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        // The host's side, every 10 ms: the step once it is due, and an answer to every box
        // that the test does not leave to the component.
        QObject::connect(&hostTimer, &QTimer::timeout, [this] {
            if (step && due && due()) {
                std::exchange(step, {})();
            }
            if (QMessageBox* box = boxUp(); box != nullptr && answerBoxes) {
                shownBoxes << box->text();
                box->done(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
            }
        });
        hostTimer.start(10);
    }

    void TearDown() override {
        hostTimer.stop();
        delete component.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Loads the small operation; the recorders and the server's requests start empty.
    void load() {
        test::queueLoad(server);
        component->LoadData(server.baseUrl());
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(u'\n').toStdString();
        server.clearRequests();
    }

    // The host's step, run once from its timer as soon as `when` holds.
    void hostStep(std::function<bool()> when, std::function<void()> what) {
        due = std::move(when);
        step = std::move(what);
    }
    bool exchangeUnderWay() const { return server.requests().size() == 1; }

    template <typename T> T* control(const char* name) { return test::child<T>(*component, name); }

    test::EventLogRecorder log;
    test::RecordingHttpServer server;
    QWidget window;
    QPointer<Stowline> component;
    QTimer hostTimer;
    std::function<bool()> due;
    std::function<void()> step;
    bool answerBoxes = true;
    QStringList shownBoxes;
};

TEST_F(HostDuringAction, TimersRunAndTheWindowPaintsWhileAnExchangeWaits) {
    test::queueLoad(server, 1500ms);
    PaintCounter painted(component);
    int ticks = 0;
    QTimer animation;
    QObject::connect(&animation, &QTimer::timeout, [&] {
        ticks += painted.counting ? 1 : 0;
        component->update();
    });
    animation.start(100);

    painted.counting = true;
    component->LoadData(server.baseUrl());
    painted.counting = false;

    EXPECT_GE(ticks, 10) << "the host's timer stood still while LoadData waited";
    EXPECT_GE(painted.paints, 5) << "the component was not painted while LoadData waited";
    EXPECT_EQ(test::column(*control<controls::ListView>("lstRoute"), 0), QStringList({"A1", "B2"}));
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join(u'\n').toStdString();
}

// LoadData waiting for the service, or for the operator to close its error box, while a host
// timer calls the component: the call returns at once, does nothing and says so in the log.
TEST_F(HostDuringAction, CallsWhileAnActionWaitsAreRefusedLoggedAndPostNothing) {
    const struct {
        const char* name;
        bool duringBox; // else during the exchange
        bool loadData;  // else ReturnWebserviceXML
    } cases[] = {
        {"LoadData during an exchange", false, true},
        {"ReturnWebserviceXML during an exchange", false, false},
        {"LoadData during an error box", true, true},
        {"ReturnWebserviceXML during an error box", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        server.clearRequests();
        const QString method = qs(c.loadData ? "LoadData" : "ReturnWebserviceXML");
        QString returned = qs("(not called)");
        hostStep(
            [&] { return c.duringBox ? boxUp() != nullptr : exchangeUnderWay(); },
            [&] {
                if (c.loadData) {
                    component->LoadData(server.baseUrl());
                    returned.clear();
                } else {
                    returned = component->ReturnWebserviceXML(
                        server.baseUrl() + qs("/WebServices/TOVAWebservice/TOVAWebservice.asmx"),
                        server.baseUrl(),
                        qs("http://tempuri.org/TOVAStowlines/Service1/GetFacilities"), qs("<a/>"));
                }
            });
        if (c.duringBox) {
            component->LoadData(test::refusedBaseUrl()); // four failed queries, four boxes
        } else {
            test::queueLoad(server, 1000ms);
            component->LoadData(server.baseUrl());
        }

        EXPECT_EQ(returned, QString());
        // Nothing but LoadData's own four queries reached the service.
        EXPECT_EQ(server.requests().size(), c.duringBox ? 0u : 4u);
        // One refusal under the method's name, besides the reports of the four failed queries.
        const QStringList refusals =
            log.entries().filter(qs("was called while the component was busy with another "
                                    "action (an exchange with the service or one of its message "
                                    "boxes); the call was refused and did nothing"));
        EXPECT_EQ(refusals.size(), 1) << log.entries().join(u'\n').toStdString();
        EXPECT_TRUE(refusals.value(0).contains(qs("Error Source - prjStowline ") + method + "\r\n"))
            << refusals.value(0).toStdString();
        EXPECT_EQ(log.entries().size(), c.duringBox ? 5 : 1);
    }
}

// The host deletes the component from a timer while one of its actions waits: for the service,
// for the answer to one of its boxes (LoadData's error box, a page's question, its success
// box), for a file to export to. The box or dialog closes with it, nothing more is sent or
// shown, and its widgets are gone once control is back in the event loop.
TEST_F(HostDuringAction, DeletingTheComponentEndsItsActionWithoutTouchingIt) {
    enum Start { LoadFromSlowService, LoadFromNowhere, Delete, SlowUpdate, Update, Export };
    const struct {
        const char* name;
        Start start;
        bool atDialog; // else while the exchange waits
        QByteArrayList sent;
        int boxes;   // shown, and closed with the component
        int entries; // the failure whose box was up is still logged when it closes
    } cases[] = {
        {"LoadData's exchange", LoadFromSlowService, false, {"GetFacilities"}, 0, 0},
        {"LoadData's error box", LoadFromNowhere, true, {}, 1, 1},
        {"a page's question", Delete, true, {}, 1, 0},
        {"a page's update", SlowUpdate, false, {"UpdateDeliveryRoute"}, 0, 0},
        {"a page's success box", Update, true, {"UpdateDeliveryRoute"}, 1, 0},
        {"a list's export dialog", Export, true, {}, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        server.clearRequests();
        if (component == nullptr) {
            component = new Stowline(&window);
            component->show();
        }
        const bool onPage = c.start != LoadFromSlowService && c.start != LoadFromNowhere;
        if (onPage) {
            load();
            test::clickRow(*control<controls::ListView>("lstRoute"), 1);
        }
        log.clear();
        const QPointer<QWidget> list = control<QWidget>("lstRoute");
        answerBoxes = false;
        int shown = 0;
        hostStep([&] { return c.atDialog ? dialogUp() != nullptr : exchangeUnderWay(); },
                 [&] {
                     shown += dialogUp() != nullptr ? 1 : 0;
                     delete component.data();
                 });
        switch (c.start) {
        case LoadFromSlowService:
            server.queueBehaviour(ServerBehaviour::neverAnswer());
            component->LoadData(server.baseUrl());
            break;
        case LoadFromNowhere:
            component->LoadData(test::refusedBaseUrl());
            break;
        case Delete:
            test::click(control<QPushButton>("cmdDeleteRoute"));
            break;
        case SlowUpdate:
        case Update:
            test::click(control<QPushButton>("cmdChangeRoute"));
            test::retype(control<QLineEdit>("txtRouteDesc"), qs("Changed"));
            if (c.start == SlowUpdate) {
                server.queueBehaviour(ServerBehaviour::neverAnswer());
            }
            test::click(control<QPushButton>("cmdAddRoute"));
            break;
        case Export:
            control<QWidget>("lstRoute")->actions().value(1)->trigger(); // "Export as CSV…"
            break;
        }

        EXPECT_TRUE(component.isNull()) << "the host's timer did not run during the action";
        EXPECT_EQ(dialogUp(), nullptr) << "a box of the deleted component is still up";
        EXPECT_EQ(shown, c.boxes);
        EXPECT_EQ(test::operationsReceived(server), c.sent);
        EXPECT_EQ(log.entries().size(), c.entries) << log.entries().join(u'\n').toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(list.isNull()) << "the deleted component's widgets were kept";
        answerBoxes = true;
        server.clearRequests();
        if (dialogUp() != nullptr) {
            dialogUp()->done(QDialog::Rejected);
        }
    }
}

} // namespace
