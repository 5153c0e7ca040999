// An update whose answer is lost, for every kind of update: the connection lost after the update
// arrived, before or after the stand-in service applied it (with and without credentials), an
// answer held back until the operator cancels the wait, or a gateway's page in place of the
// service's answer after the service applied it. The service holds the change at most once, the
// page reports the loss once, queries its data set again and shows what the service holds, keeps
// its mode and the operator's input, and a second Save of an add the service applied meets the
// duplicate check, while an assignment sent again is taken. A SOAP fault or a refusal (404) before
// the service still means not applied: reported once, no query. A proxy between the component and
// the service loses the connection, holds the answer or answers in the service's place, and counts
// what went out.
#include "support/DataSetText.h"
#include "support/MaintenancePages.h"
#include "support/PageDriver.h"
#include "support/RecordingHttpServer.h"

#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace stowline;
using namespace stowline::test;

namespace {

using Loss = RecordingHttpServer::Loss;

// A maintenance page: its controls and table, a record to change, what it answers a duplicate,
// and its add button's caption while idle.
struct Page {
    const MaintenancePageNames* ui;
    const char *sample, *duplicate, *idleCaption;
};
const Page Routes{&RouteNames, "H2", "This route already exists. Enter a different route.",
                  "Add Route"};
const Page Bays{&LocationNames, "Q-01",
                "This Storage Location already defined, please enter different Location.",
                "Add Location"};

enum class Kind { Add, Change, Delete, Assign };

struct Update {
    const char* name;
    const Page* page; // none: the assignment page
    Kind kind;
    QByteArray operation;
};
const Update Updates[] = {
    {"RouteAdd", &Routes, Kind::Add, "AddDeliveryRoute"},
    {"RouteChange", &Routes, Kind::Change, "UpdateDeliveryRoute"},
    {"RouteDelete", &Routes, Kind::Delete, "DeleteDeliveryRoute"},
    {"BayAdd", &Bays, Kind::Add, "AddStorageLocation"},
    {"BayChange", &Bays, Kind::Change, "UpdateStorageLocation"},
    {"BayDelete", &Bays, Kind::Delete, "DeleteStorageLocation"},
    {"Assignment", nullptr, Kind::Assign, "UpdateCenterRouteAndStorageLocation"},
};

void PrintTo(const Update& update, std::ostream* out) {
    *out << update.name;
}

ServerBehaviour page(int status, const QByteArray& body) {
    return ServerBehaviour::respond(status, body, "text/html");
}
const QByteArray GatewayPage = "<html><body><h1>502 Bad Gateway</h1></body></html>";

// What stands between the update and its answer.
struct Way {
    const char* name;
    Loss loss;
    bool credentials; // the service asks for them
    std::optional<ServerBehaviour> gatewayAnswer;
    // Whether the component takes the answer as lost (the service may have applied the update),
    // rather than as a refusal.
    bool lost = true;
};
const Way Ways[] = {
    {"BeforeTheService", Loss::BeforeTheServer, false, {}},
    {"BeforeTheServiceWithCredentials", Loss::BeforeTheServer, true, {}},
    {"AfterTheService", Loss::AfterTheServer, false, {}},
    {"AfterTheServiceWithCredentials", Loss::AfterTheServer, true, {}},
    {"CancelledAfterTheService", Loss::Held, false, {}},
    {"Gateway502", Loss::AfterTheServer, false, page(502, GatewayPage)},
    {"Gateway504", Loss::AfterTheServer, false, page(504, GatewayPage)},
    {"Gateway500Html", Loss::AfterTheServer, false, page(500, GatewayPage)},
    {"Gateway200Html", Loss::AfterTheServer, false, page(200, GatewayPage)},
    {"Gateway200Empty", Loss::AfterTheServer, false, page(200, "")},
    {"SoapFault", Loss::BeforeTheServer, false,
     ServerBehaviour::respond(500, soapFault("Server busy")), false},
    {"NotFound", Loss::BeforeTheServer, false, page(404, GatewayPage), false},
};

void PrintTo(const Way& way, std::ostream* out) {
    *out << way.name;
}

// The update, and what stands between it and its answer.
class LostAnswer : public ::testing::TestWithParam<std::tuple<Update, Way>> {
protected:
    void SetUp() override {
        const QString user = credentials ? qs("stow:Lost-4nswer") : QString();
        server = std::make_unique<StandInServer>(
            StandInServer::Data::Demo,
            StandInServer::Extras{credentials ? QStringList{qs("--auth"), user} : QStringList()});
        // Spare records, assigned to no center, that can be deleted.
        server->execute(qs("INSERT INTO routes VALUES (40, 1, 'Z9', 'Spare', '2024-01-01');"
                           "INSERT INTO storage_locations VALUES (40, 1, 'Z9', 'Spare')"));
        proxy = std::make_unique<RecordingHttpServer>(QUrl(server->serverName()).port());
        component.show();
        component.LoadData(
            proxy->baseUrl().replace("://", "://" + user + (user.isEmpty() ? "" : "@")));
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(qs("\n")).toStdString();
        control<QTabWidget>("SSTab1")->setCurrentIndex(c.page != nullptr ? c.page->ui->tab : 2);
        list = control<controls::ListView>(c.page != nullptr ? c.page->ui->list : "lstStowline");
    }

    template <typename T> T* control(const char* name) { return child<T>(component, name); }
    QPushButton* button(const char* name) { return control<QPushButton>(name); }
    QLineEdit* box(const char* name) { return control<QLineEdit>(name); }
    void clickNamed(const char* text) { clickRow(*list, positionOf(*list, qs(text))); }

    // The operator's gestures, up to and including the Save.
    void save() {
        const Page* p = c.page;
        switch (c.kind) {
        case Kind::Add:
            click(button(p->ui->add));
            QTest::keyClicks(box(p->ui->name), qs("Z7"));
            QTest::keyClicks(box(p->ui->description), qs("Lost"));
            click(button(p->ui->add));
            break;
        case Kind::Change:
            clickNamed(p->sample);
            click(button(p->ui->change));
            retype(box(p->ui->description), qs("Lost"));
            click(button(p->ui->add));
            break;
        case Kind::Delete:
            clickNamed("Z9");
            click(button(p->ui->remove)); // the question is answered Yes
            break;
        case Kind::Assign:
            clickNamed("1003");
            click(button("cmdChangeStowline"));
            // Another facility's route: after a loss the page offers the facility chosen again.
            pickEntry(control<controls::DropDown>("cboFacility2"), qs("Harbour Point Cross-Dock"));
            pickEntry(control<controls::DropDown>("cboRoute"), qs("Coastal Highway(H4)"));
            pickEntry(control<controls::DropDown>("cboLocation"), qs("Quarantine cage(8)"));
            click(button("cmdChangeStowline"));
            break;
        }
    }

    // Whether the service holds the change, and whether the list shows it.
    bool held() {
        const QString table = c.page != nullptr ? qs(c.page->ui->table) : QString();
        const QString sql =
            c.kind == Kind::Assign
                ? qs("SELECT count(*) FROM centers WHERE center_id = 1003 AND route_id = 8")
            : c.kind == Kind::Delete
                ? qs("SELECT count(*) = 0 FROM %1 WHERE %2 = 40").arg(table, qs(c.page->ui->key))
                : qs("SELECT count(*) FROM %1 WHERE description = 'Lost'").arg(table);
        return server->queryValue(sql) == qs("1");
    }
    bool shown() {
        switch (c.kind) {
        case Kind::Assign:
            return list->subItem(list->itemAt(positionOf(*list, qs("1003"))), 6) == qs("H4");
        case Kind::Delete:
            return !column(*list, 0).contains(qs("Z9"));
        default:
            return column(*list, 1).contains(qs("Lost"));
        }
    }

    // The mode and the operator's input as they were before the Save.
    void expectKept(bool applied) {
        const Page* p = c.page;
        switch (c.kind) {
        case Kind::Add:
            EXPECT_EQ(button(p->ui->add)->text(), qs("Save"));
            EXPECT_EQ(box(p->ui->name)->text() + box(p->ui->description)->text(), qs("Z7Lost"));
            break;
        case Kind::Change:
            EXPECT_EQ(button(p->ui->add)->text(), qs("Update"));
            EXPECT_EQ(box(p->ui->description)->text(), qs("Lost"));
            EXPECT_FALSE(list->selectedItem().isNothing()); // the record, for another Update
            break;
        case Kind::Delete: // idle, showing the record while it is there
            EXPECT_EQ(button(p->ui->add)->text(), qs(p->idleCaption));
            EXPECT_EQ(box(p->ui->name)->text(), applied ? QString() : qs("Z9"));
            break;
        case Kind::Assign: {
            EXPECT_EQ(button("cmdChangeStowline")->text(), qs("Update"));
            const auto* route = control<controls::DropDown>("cboRoute");
            EXPECT_EQ(route->entryText(route->listIndex()), qs("Coastal Highway(H4)"));
            const auto* bay = control<controls::DropDown>("cboLocation");
            EXPECT_EQ(bay->entryText(bay->listIndex()), qs("Quarantine cage(8)"));
            EXPECT_EQ(control<controls::DropDown>("cboFacility2")->shownText(),
                      qs("Harbour Point Cross-Dock"));
            EXPECT_TRUE(route->isEnabled());
            EXPECT_EQ(list->text(list->selectedItem()), qs("1003"));
        }
        }
    }

    // How many queries the component sent since the proxy's requests were last cleared.
    int queries() const {
        const std::vector<RecordedRequest> requests = proxy->requests();
        return static_cast<int>(std::count_if(requests.begin(), requests.end(), [](const auto& r) {
            return r.header("SOAPAction").contains("/Get");
        }));
    }

    const Update& c = std::get<0>(GetParam());
    const Way& way = std::get<1>(GetParam());
    const bool credentials = way.credentials;
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<RecordingHttpServer> proxy;
    Stowline component;
    controls::ListView* list = nullptr;
};

TEST_P(LostAnswer, TheUpdateGoesOutOnceAndThePageShowsWhatTheServiceHolds) {
    const bool applied = way.loss != Loss::BeforeTheServer;
    proxy->loseNext(c.operation, way.loss, credentials, way.gatewayAnswer);
    proxy->clearRequests();
    // An answer held back: the operator gives up waiting once the component offers it.
    QTimer cancelling;
    QObject::connect(&cancelling, &QTimer::timeout, [&] {
        auto* cancel = component.findChild<QPushButton*>(qs("cmdCancelExchange"));
        if (cancel != nullptr && cancel->isVisible()) {
            cancelling.stop();
            click(cancel);
        }
    });
    if (way.loss == Loss::Held) {
        cancelling.start(10);
    }
    save();

    EXPECT_EQ(proxy->sent(c.operation), 1);
    EXPECT_EQ(held(), applied);
    EXPECT_EQ(shown(), applied) << "the list shows what the service holds";
    EXPECT_EQ(queries() > 0, way.lost) << "the data set is queried again after a loss only";
    // One report, saying whether the service may have applied the update; no success.
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_FALSE(boxes.prompts().join('|').contains(qs("successfully")));
    EXPECT_EQ(log.procedures(), QStringList{qs("ReturnWebserviceXML")});
    EXPECT_EQ(log.entries().value(0).contains(qs("may have applied it")), way.lost)
        << log.entries().value(0).toStdString();
    EXPECT_EQ(log.entries().value(0).contains(qs("cancelled by the operator")),
              way.loss == Loss::Held);
    expectKept(applied);
    if (c.kind == Kind::Assign) { // sent again as it stands, it is taken
        click(button("cmdChangeStowline"));
        EXPECT_EQ(proxy->sent(c.operation), 2);
        EXPECT_TRUE(held());
        EXPECT_EQ(button("cmdChangeStowline")->text(), qs("Change Route/Location"));
    }
    if (c.kind != Kind::Add) {
        return;
    }
    // Saving the add again: refused by the duplicate check once the service holds it.
    boxes.clear();
    click(button(c.page->ui->add));
    EXPECT_EQ(proxy->sent(c.operation), applied ? 1 : 2);
    EXPECT_TRUE(held());
    if (applied) {
        EXPECT_EQ(boxes.prompts(), QStringList{qs(c.page->duplicate)});
    }
}

std::string caseName(const ::testing::TestParamInfo<LostAnswer::ParamType>& info) {
    const auto& [update, way] = info.param;
    return std::string(update.name) + way.name;
}

INSTANTIATE_TEST_SUITE_P(Updates, LostAnswer,
                         ::testing::Combine(::testing::ValuesIn(Updates),
                                            ::testing::ValuesIn(Ways)),
                         caseName);

} // namespace
