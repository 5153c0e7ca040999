// A connection lost after an update arrived, before or after the stand-in service applied it,
// for every kind of update, with and without credentials: the service holds the change at most
// once, the page reports the loss once, shows what the service holds and keeps its mode and the
// operator's input, and a second Save of an add the service applied meets the duplicate check.
// A proxy between the component and the service loses the connection and counts what went out.
#include "support/DroppingProxy.h"
#include "support/PageDriver.h"

#include <QUrl>

#include <functional>

using namespace stowline;
using namespace stowline::test;

namespace {

using Loss = DroppingProxy::Loss;

class LostAnswer;

// One kind of update, from the operator's gestures to what shows that it was applied.
struct Update {
    const char* name;
    QByteArray operation;
    int tab;
    const char* list;
    std::function<void(LostAnswer&)> save;          // the gestures, ending with the Save
    const char* heldSql;                            // 1 when the service holds the change, else 0
    std::function<bool(platform::ListView&)> shows; // the list shows the change
    std::function<void(LostAnswer&, bool held)> expectKept; // the mode and the input kept
    const char* duplicate = nullptr; // an add: what a second Save says once the service holds it
};

struct Case {
    Update update;
    Loss loss;
    bool credentials;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.update.name;
}

class LostAnswer : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        const QStringList auth{qs("--auth"), qs("stow:Lost-4nswer")};
        server = std::make_unique<StandInServer>(
            StandInServer::Data::Demo, 0,
            StandInServer::Extras{credentials ? auth : QStringList()});
        // Spare records, assigned to no center, that can be deleted.
        server->execute(qs("INSERT INTO routes VALUES (40, 1, 'Z9', 'Spare', '2024-01-01');"
                           "INSERT INTO storage_locations VALUES (40, 1, 'Z9', 'Spare')"));
        proxy = std::make_unique<DroppingProxy>(QUrl(server->serverName()).port());
        component = std::make_unique<Stowline>();
        component->show();
        component->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(component.get()));
        component->LoadData(proxy->serverName(credentials ? qs("stow:Lost-4nswer") : QString()));
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(qs("\n")).toStdString();
        control<QTabWidget>("SSTab1")->setCurrentIndex(c.update.tab);
        list = control<platform::ListView>(c.update.list);
    }

public:
    template <typename T> T* control(const char* name) const {
        T* found = component->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void clickNamed(const char* text) { clickRow(*list, positionOf(*list, qs(text))); }
    bool held() const { return server->queryValue(qs(c.update.heldSql)) == qs("1"); }

    const Case& c = GetParam();
    const bool credentials = c.credentials;
    MessageBoxRecorder boxes;
    EventLogRecorder log;
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<DroppingProxy> proxy;
    std::unique_ptr<Stowline> component;
    platform::ListView* list = nullptr;
};

// An add's boxes keep what was typed, in adding mode.
std::function<void(LostAnswer&, bool)> keepsAdding(const char* button, const char* nameBox,
                                                   const char* name, const char* description,
                                                   const char* descriptionBox) {
    return [=](LostAnswer& t, bool) {
        EXPECT_EQ(t.control<QPushButton>(button)->text(), qs("Save"));
        EXPECT_EQ(t.control<QLineEdit>(nameBox)->text(), qs(name));
        EXPECT_EQ(t.control<QLineEdit>(descriptionBox)->text(), qs(description));
    };
}

std::function<void(LostAnswer&, bool)> keepsChanging(const char* button, const char* box,
                                                     const char* text) {
    return [=](LostAnswer& t, bool) {
        EXPECT_EQ(t.control<QPushButton>(button)->text(), qs("Update"));
        EXPECT_EQ(t.control<QLineEdit>(box)->text(), qs(text));
        EXPECT_FALSE(t.list->selectedItem().isNothing()); // the record, for another Update
    };
}

// After a delete the page is idle and shows the record while it is there.
std::function<void(LostAnswer&, bool)> idleShowing(const char* button, const char* caption,
                                                   const char* nameBox) {
    return [=](LostAnswer& t, bool held) {
        EXPECT_EQ(t.control<QPushButton>(button)->text(), qs(caption));
        EXPECT_EQ(t.control<QLineEdit>(nameBox)->text(), held ? QString() : qs("Z9"));
    };
}

std::function<void(LostAnswer&)> add(const char* button, const char* nameBox, const char* name,
                                     const char* descriptionBox, const char* description) {
    return [=](LostAnswer& t) {
        click(t.control<QPushButton>(button));
        QTest::keyClicks(t.control<QLineEdit>(nameBox), qs(name));
        QTest::keyClicks(t.control<QLineEdit>(descriptionBox), qs(description));
        click(t.control<QPushButton>(button));
    };
}

std::function<void(LostAnswer&)> change(const char* record, const char* changeButton,
                                        const char* box, const char* text, const char* saveButton) {
    return [=](LostAnswer& t) {
        t.clickNamed(record);
        click(t.control<QPushButton>(changeButton));
        retype(t.control<QLineEdit>(box), qs(text));
        click(t.control<QPushButton>(saveButton));
    };
}

std::function<void(LostAnswer&)> remove(const char* button) {
    return [=](LostAnswer& t) {
        t.clickNamed("Z9");
        click(t.control<QPushButton>(button)); // the question is answered Yes
    };
}

std::function<bool(platform::ListView&)> columnHolds(int index, const char* text) {
    return [=](platform::ListView& list) { return column(list, index).contains(qs(text)); };
}

const Update Updates[] = {
    {"RouteAdd", "AddDeliveryRoute", 0, "lstRoute",
     add("cmdAddRoute", "txtRoute", "Z7", "txtRouteDesc", "Lost answer"),
     "SELECT count(*) FROM routes WHERE code = 'Z7'", columnHolds(0, "Z7"),
     keepsAdding("cmdAddRoute", "txtRoute", "Z7", "Lost answer", "txtRouteDesc"),
     "This route already exists. Enter a different route."},
    {"RouteChange", "UpdateDeliveryRoute", 0, "lstRoute",
     change("H2", "cmdChangeRoute", "txtRouteDesc", "Changed", "cmdAddRoute"),
     "SELECT count(*) FROM routes WHERE description = 'Changed'", columnHolds(1, "Changed"),
     keepsChanging("cmdAddRoute", "txtRouteDesc", "Changed")},
    {"RouteDelete", "DeleteDeliveryRoute", 0, "lstRoute", remove("cmdDeleteRoute"),
     "SELECT count(*) = 0 FROM routes WHERE code = 'Z9'",
     [](platform::ListView& list) { return !column(list, 0).contains(qs("Z9")); },
     idleShowing("cmdAddRoute", "Add Route", "txtRoute")},
    {"BayAdd", "AddStorageLocation", 1, "lstLocation",
     add("cmdAddLocation", "txtLocationID", "N-9", "txtLocationDesc", "Lost bay"),
     "SELECT count(*) FROM storage_locations WHERE description = 'Lost bay'",
     columnHolds(1, "Lost bay"),
     keepsAdding("cmdAddLocation", "txtLocationID", "N-9", "Lost bay", "txtLocationDesc"),
     "This Storage Location already defined, please enter different Location."},
    {"BayChange", "UpdateStorageLocation", 1, "lstLocation",
     change("Q-01", "cmdChangeLocation", "txtLocationDesc", "Changed", "cmdAddLocation"),
     "SELECT count(*) FROM storage_locations WHERE description = 'Changed'",
     columnHolds(1, "Changed"), keepsChanging("cmdAddLocation", "txtLocationDesc", "Changed")},
    {"BayDelete", "DeleteStorageLocation", 1, "lstLocation", remove("cmdDeleteLocation"),
     "SELECT count(*) = 0 FROM storage_locations WHERE name = 'Z9'",
     [](platform::ListView& list) { return !column(list, 0).contains(qs("Z9")); },
     idleShowing("cmdAddLocation", "Add Location", "txtLocationID")},
    {"Assignment", "UpdateCenterRouteAndStorageLocation", 2, "lstStowline",
     [](LostAnswer& t) {
         t.clickNamed("1003");
         auto* update = t.control<QPushButton>("cmdChangeStowline");
         click(update);
         pickEntry(t.control<platform::DropDown>("cboRoute"), qs("Evening Express(10)"));
         click(update);
     },
     "SELECT count(*) FROM centers WHERE center_id = 1003 AND route_id = 4",
     [](platform::ListView& list) {
         const int row = positionOf(list, qs("1003"));
         return list.subItem(list.itemAt(row), 6) == qs("10");
     },
     [](LostAnswer& t, bool) {
         EXPECT_EQ(t.control<QPushButton>("cmdChangeStowline")->text(), qs("Update"));
         const auto* route = t.control<platform::DropDown>("cboRoute");
         EXPECT_EQ(route->entryText(route->listIndex()), qs("Evening Express(10)"));
         EXPECT_TRUE(route->isEnabled());
         EXPECT_EQ(t.list->text(t.list->selectedItem()), qs("1003"));
     }},
};

TEST_P(LostAnswer, TheUpdateGoesOutOnceAndThePageShowsWhatTheServiceHolds) {
    const bool applied = c.loss == Loss::AfterTheServer;
    proxy->loseNext(c.update.operation, c.loss, credentials);
    c.update.save(*this);

    EXPECT_EQ(proxy->sent(c.update.operation), 1);
    EXPECT_EQ(held(), applied);
    EXPECT_EQ(c.update.shows(*list), applied) << "the list shows what the service holds";
    // One report, saying that the service may have applied the update; no success.
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_FALSE(boxes.prompts().join('|').contains(qs("successfully")));
    EXPECT_EQ(log.procedures(), QStringList{qs("ReturnWebserviceXML")});
    EXPECT_TRUE(log.entries().value(0).contains(qs("may have applied it")))
        << log.entries().value(0).toStdString();
    c.update.expectKept(*this, applied);
    if (c.update.duplicate == nullptr) {
        return;
    }

    // Saving the add again: refused by the duplicate check once the service holds it.
    boxes.clear();
    click(control<QPushButton>(c.update.tab == 0 ? "cmdAddRoute" : "cmdAddLocation"));
    EXPECT_EQ(proxy->sent(c.update.operation), applied ? 1 : 2);
    EXPECT_TRUE(held());
    if (applied) {
        EXPECT_EQ(boxes.prompts(), QStringList{qs(c.update.duplicate)});
    }
}

std::vector<Case> cases(bool credentials) {
    std::vector<Case> all;
    for (const Update& update : Updates) {
        for (const Loss loss : {Loss::BeforeTheServer, Loss::AfterTheServer}) {
            all.push_back({update, loss, credentials});
        }
    }
    return all;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.update.name) +
           (info.param.loss == Loss::AfterTheServer ? "AfterTheService" : "BeforeTheService");
}

INSTANTIATE_TEST_SUITE_P(WithoutCredentials, LostAnswer, ::testing::ValuesIn(cases(false)),
                         caseName);

} // namespace
