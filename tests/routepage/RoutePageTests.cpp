// The route page as an operator uses it: modes, validation, add, change, delete, sorting and
// the key filter, checked against what the stand-in service holds afterwards.
#include "support/PageDriver.h"

#include <QFrame>

#include <algorithm>
#include <functional>

using namespace stowline;
using namespace stowline::test;

namespace {

const QString Depot = QString::fromUtf8("Dépôt Sainte-Émilie");
const QString Harbour = QStringLiteral("Harbour Point Cross-Dock");
const QString Northfield = QStringLiteral("Northfield Distribution Center");

const QString AddedPrompt = QStringLiteral("Route has been added successfully!!!!");
const QString UpdatedPrompt = QStringLiteral("Route has been updated successfully!!!!");
const QString DeletedPrompt = QStringLiteral("Route has been deleted successfully!!!!");
const QString ConfirmDeletePrompt =
    QStringLiteral("The selected route will be deleted permanently. Do you want to proceed?");
const QString SelectToChangePrompt = QStringLiteral("Please select a route to change.");

class RoutePageTest : public PageTest {
protected:
    using PageTest::PageTest;

    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        list = control<platform::ListView>("lstRoute");
        frame = control<QFrame>("fraRouteList");
        route = control<platform::TextBox>("txtRoute");
        description = control<platform::TextBox>("txtRouteDesc");
        facility = control<platform::DropDown>("cboFacility3");
        add = control<QPushButton>("cmdAddRoute");
        change = control<QPushButton>("cmdChangeRoute");
        remove = control<QPushButton>("cmdDeleteRoute");
    }

    void clickRoute(const QString& name) {
        const int position = positionOf(*list, name);
        ASSERT_GT(position, 0) << name.toStdString();
        clickRow(*list, position);
    }

    enum class Mode { Idle, Adding, Changing };

    void expectMode(Mode mode) {
        const bool idle = mode == Mode::Idle;
        EXPECT_EQ(add->text(), idle ? "Add Route" : mode == Mode::Adding ? "Save" : "Update");
        EXPECT_EQ(change->text(), idle ? "Change Route" : "Cancel");
        EXPECT_EQ(remove->isEnabled(), idle);
        EXPECT_EQ(frame->isEnabled(), idle);
        EXPECT_TRUE(add->isEnabled());
        EXPECT_TRUE(change->isEnabled());
        expectEditable(*route, mode == Mode::Adding);
        expectEditable(*description, !idle);
        expectEditable(*facility, !idle);
    }

    void expectBoxes(const QString& routeText, const QString& descriptionText) {
        EXPECT_EQ(route->text(), routeText);
        EXPECT_EQ(description->text(), descriptionText);
    }

    QString routeRow(const char* code) {
        return server->queryValue(
            QStringLiteral("SELECT r.code || '|' || r.description || '|' || f.name FROM routes r"
                           " JOIN facilities f ON f.facility_id = r.facility_id"
                           " WHERE r.code = '%1'")
                .arg(QString::fromUtf8(code)));
    }

    QString routeCount() { return dbValue("SELECT count(*) FROM routes"); }

    platform::ListView* list = nullptr;
    QFrame* frame = nullptr;
    platform::TextBox* route = nullptr;
    platform::TextBox* description = nullptr;
    platform::DropDown* facility = nullptr;
    QPushButton* add = nullptr;
    QPushButton* change = nullptr;
    QPushButton* remove = nullptr;
};

// --- Modes -------------------------------------------------------------------------------

TEST_F(RoutePageTest, AddingModeAndCancelRestoreTheBoxesFromTheListButNotTheFacility) {
    clickRoute(QStringLiteral("02"));
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("02"), QStringLiteral("Airport & Industrial Park"));
    EXPECT_EQ(facility->shownText(), Northfield);
    EXPECT_FALSE(list->hideSelection());
    EXPECT_TRUE(hasFocus(list));

    click(add);
    expectMode(Mode::Adding);
    expectBoxes(QString(), QString());
    EXPECT_EQ(facility->listIndex(), 0);
    EXPECT_EQ(facility->shownText(), Depot);
    EXPECT_TRUE(list->hideSelection());
    EXPECT_TRUE(hasFocus(route));

    QTest::keyClicks(route, QStringLiteral("Q7"));
    QTest::keyClicks(description, QStringLiteral("Typed, then abandoned"));
    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("02"), QStringLiteral("Airport & Industrial Park"));
    EXPECT_EQ(facility->shownText(), Depot);
    EXPECT_TRUE(boxes.shown().empty());

    // Adding forgot the selected route; the list has to be clicked again.
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
    expectMode(Mode::Idle);
    EXPECT_EQ(routeCount(), "12");
}

TEST_F(RoutePageTest, ChangingModeLocksTheRouteNameAndCancelSendsNothing) {
    clickRoute(QStringLiteral("H2"));
    click(change);
    expectMode(Mode::Changing);
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_TRUE(hasFocus(description));
    EXPECT_EQ(description->selectedText(), "Bayview <Overnight>");

    QTest::keyClicks(route, QStringLiteral("X"));
    QTest::keyClicks(description, QStringLiteral("Night run"));
    pickEntry(facility, Northfield);
    expectBoxes(QStringLiteral("H2"), QStringLiteral("Night run"));

    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("H2"), QStringLiteral("Bayview <Overnight>"));
    EXPECT_EQ(facility->shownText(), Northfield);
    EXPECT_TRUE(hasFocus(list));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(routeRow("H2"), "H2|Bayview <Overnight>|" + Harbour);
}

TEST_F(RoutePageTest, ChangeOrDeleteWithNothingSelectedOnlyTells) {
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
    boxes.clear();
    click(remove);
    EXPECT_TRUE(shownOnly(QStringLiteral("Please select Route to delete."), platform::StyleOk,
                          QStringLiteral("Information Required")));
    expectMode(Mode::Idle);
    EXPECT_EQ(routeCount(), "12");
}

// --- Add -----------------------------------------------------------------------------------

TEST_F(RoutePageTest, AddSendsTheTextsUntrimmedAndSelectsTheNewRoute) {
    click(add);
    QTest::keyClicks(route, QStringLiteral("Z1"));
    QTest::keyClicks(description, QStringLiteral(" Zed loop "));
    pickEntry(facility, Harbour);
    click(add);

    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Route Added")));
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(routeRow("Z1"), "Z1| Zed loop |" + Harbour);

    expectMode(Mode::Idle);
    EXPECT_EQ(list->count(), 13);
    ASSERT_GT(selectedPosition(*list), 0);
    EXPECT_EQ(row(*list, selectedPosition(*list)),
              (QStringList{QStringLiteral("Z1"), QStringLiteral(" Zed loop "), Harbour}));
    // The selected item is the rebuilt one, carrying the service's key.
    EXPECT_EQ(list->tag(list->selectedItem()).toString(),
              dbValue("SELECT route_id FROM routes WHERE code = 'Z1'"));
    expectBoxes(QStringLiteral("Z1"), QStringLiteral(" Zed loop "));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_FALSE(list->hideSelection());
    EXPECT_TRUE(hasFocus(list));

    boxes.clear();
    click(change);
    expectMode(Mode::Changing);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(RoutePageTest, AddSelectsTheFirstRouteWithTheSameDescription) {
    click(add);
    QTest::keyClicks(route, QStringLiteral("Z2"));
    QTest::keyClicks(description, QStringLiteral("Downtown Loop"));
    pickEntry(facility, Northfield);
    click(add);

    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Route Added")));
    EXPECT_EQ(routeRow("Z2"), "Z2|Downtown Loop|" + Northfield);
    EXPECT_EQ(selectedPosition(*list), positionOf(*list, QStringLiteral("01")));
    expectBoxes(QStringLiteral("01"), QStringLiteral("Downtown Loop"));
}

TEST_F(RoutePageTest, InvalidInputIsRefusedWithTheBoxFocusedAndNothingSent) {
    struct Case {
        const char* route;
        const char* description;
        const char* prompt;
        const char* title;
        bool focusOnRoute;
    };
    const Case cases[] = {
        {"", "Some description", "Enter a route", "Information Required", true},
        {"  ", "Some description", "Enter a route", "Information Required", true},
        {"Z3", "", "Enter a route description", "Information Required", false},
        {"Z3", "    ", "Enter a route description", "Information Required", false},
        // A route name is taken wherever it is used: H1 belongs to another facility.
        {"H1", "Other", "This route already exists. Enter a different route.",
         "Information Validation", true},
        {"01", "Other", "This route already exists. Enter a different route.",
         "Information Validation", true},
    };
    click(add);
    pickEntry(facility, Northfield);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.route) + " / " + c.description);
        boxes.clear();
        retype(route, qs(c.route));
        retype(description, qs(c.description));
        click(add);
        EXPECT_TRUE(shownOnly(qs(c.prompt), platform::StyleOk, qs(c.title)));
        EXPECT_TRUE(hasFocus(c.focusOnRoute ? route : description));
        expectMode(Mode::Adding);
        expectBoxes(qs(c.route), qs(c.description));
    }
    EXPECT_EQ(routeCount(), "12");
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(RoutePageTest, TheDuplicateCheckIsCaseSensitive) {
    click(add);
    QTest::keyClicks(route, QStringLiteral("h1"));
    QTest::keyClicks(description, QStringLiteral("Lower case"));
    pickEntry(facility, Harbour);
    click(add);
    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Route Added")));
    EXPECT_EQ(routeRow("h1"), "h1|Lower case|" + Harbour);
    EXPECT_EQ(routeRow("H1"), "H1|Harbour Front|" + Harbour);
}

TEST_F(RoutePageTest, SavingWithoutAChosenFacilityAsksForOne) {
    const QString prompt = QStringLiteral("Please select a facility.");

    click(add);
    QTest::keyClicks(route, QStringLiteral("Z4"));
    QTest::keyClicks(description, QStringLiteral("Four"));
    retype(facility->lineEdit(), QStringLiteral("Xanadu"));
    ASSERT_EQ(facility->listIndex(), -1);
    click(add);
    EXPECT_TRUE(shownOnly(prompt, platform::StyleOk, QString()));
    expectMode(Mode::Adding);
    expectBoxes(QStringLiteral("Z4"), QStringLiteral("Four"));
    EXPECT_TRUE(hasFocus(facility));

    click(change);
    clickRoute(QStringLiteral("03"));
    click(change);
    retype(description, QStringLiteral("Moved nowhere"));
    retype(facility->lineEdit(), QString());
    boxes.clear();
    click(add);
    EXPECT_TRUE(shownOnly(prompt, platform::StyleOk, QString()));
    expectMode(Mode::Changing);
    EXPECT_EQ(description->text(), "Moved nowhere");

    EXPECT_EQ(routeCount(), "12");
    EXPECT_EQ(routeRow("03"), "03|Northern Suburbs|" + Northfield);
    EXPECT_TRUE(log.entries().isEmpty());
}

// --- Change --------------------------------------------------------------------------------

TEST_F(RoutePageTest, UpdateChangesDescriptionAndFacilityAndReselectsByPosition) {
    const int position = positionOf(*list, QStringLiteral("H2"));
    clickRow(*list, position);
    click(change);
    QTest::keyClicks(description, QStringLiteral("Bayview nights"));
    pickEntry(facility, Northfield);
    click(add);

    EXPECT_TRUE(shownOnly(UpdatedPrompt, platform::StyleOk, QStringLiteral("Update Route")));
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(routeRow("H2"), "H2|Bayview nights|" + Northfield);
    EXPECT_EQ(dbValue("SELECT route_id FROM routes WHERE code = 'H2'"), "6");

    expectMode(Mode::Idle);
    EXPECT_EQ(selectedPosition(*list), position);
    EXPECT_EQ(row(*list, position),
              (QStringList{QStringLiteral("H2"), QStringLiteral("Bayview nights"), Northfield}));
    expectBoxes(QStringLiteral("H2"), QStringLiteral("Bayview nights"));
    EXPECT_EQ(facility->shownText(), Northfield);
    EXPECT_TRUE(hasFocus(list));
}

TEST_F(RoutePageTest, UpdateSelectsWhateverRouteNowStandsAtTheOldPosition) {
    const int position = positionOf(*list, QStringLiteral("H2"));
    clickRow(*list, position);
    click(change);
    QTest::keyClicks(description, QStringLiteral("Bayview nights"));
    // Another client adds a route that sorts first.
    server->execute(
        QStringLiteral("INSERT INTO routes VALUES (40, 1, '00', 'Dawn', '2024-01-01')"));
    click(add);

    EXPECT_TRUE(shownOnly(UpdatedPrompt, platform::StyleOk, QStringLiteral("Update Route")));
    EXPECT_EQ(list->count(), 13);
    EXPECT_EQ(selectedPosition(*list), position);
    expectBoxes(QStringLiteral("H1"), QStringLiteral("Harbour Front"));
}

TEST_F(RoutePageTest, UpdateLeavesNothingSelectedWhenTheListGotShorter) {
    clickRow(*list, 12);
    ASSERT_EQ(route->text(), "H4");
    click(change);
    QTest::keyClicks(description, QStringLiteral("Coast road"));
    server->execute(QStringLiteral("DELETE FROM routes WHERE code = '01'"));
    click(add);

    EXPECT_TRUE(shownOnly(UpdatedPrompt, platform::StyleOk, QStringLiteral("Update Route")));
    EXPECT_EQ(routeRow("H4"), "H4|Coast road|" + Harbour);
    EXPECT_EQ(list->count(), 11);
    EXPECT_EQ(selectedPosition(*list), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);

    boxes.clear();
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
}

// --- Delete --------------------------------------------------------------------------------

class RoutePageWithSpareRoute : public RoutePageTest {
protected:
    void seed() override {
        server->execute(
            QStringLiteral("INSERT INTO routes VALUES (13, 1, 'Z9', 'Spare', '2024-01-01')"));
    }
};

TEST_F(RoutePageWithSpareRoute, DeleteAskedAndConfirmedRemovesTheRouteAndSelectsTheLast) {
    clickRoute(QStringLiteral("Z9"));
    click(remove);

    ASSERT_EQ(boxes.shown().size(), 2u) << boxes.prompts().join(qs(" | ")).toStdString();
    EXPECT_EQ(boxes.shown()[0].prompt, ConfirmDeletePrompt);
    EXPECT_EQ(boxes.shown()[0].style, platform::StyleYesNo);
    EXPECT_EQ(boxes.shown()[0].title, "Information Validation");
    EXPECT_EQ(boxes.shown()[1].prompt, DeletedPrompt);
    EXPECT_EQ(boxes.shown()[1].style, platform::StyleOk);
    EXPECT_EQ(boxes.shown()[1].title, "Route Deleted");
    EXPECT_TRUE(log.entries().isEmpty());

    EXPECT_EQ(dbValue("SELECT count(*) FROM routes WHERE code = 'Z9'"), "0");
    EXPECT_EQ(list->count(), 12);
    EXPECT_EQ(positionOf(*list, QStringLiteral("Z9")), 0);
    EXPECT_EQ(selectedPosition(*list), 12);
    expectBoxes(QStringLiteral("H4"), QStringLiteral("Coastal Highway"));
    EXPECT_EQ(facility->shownText(), Harbour);
    expectMode(Mode::Idle);
}

TEST_F(RoutePageWithSpareRoute, DeleteAnsweredNoChangesNothing) {
    clickRoute(QStringLiteral("Z9"));
    boxes.queueAnswer(platform::AnswerNo);
    click(remove);

    EXPECT_TRUE(shownOnly(ConfirmDeletePrompt, platform::StyleYesNo,
                          QStringLiteral("Information Validation")));
    EXPECT_EQ(dbValue("SELECT count(*) FROM routes WHERE code = 'Z9'"), "1");
    EXPECT_EQ(list->count(), 13);
    EXPECT_EQ(selectedPosition(*list), positionOf(*list, QStringLiteral("Z9")));
    expectBoxes(QStringLiteral("Z9"), QStringLiteral("Spare"));
}

class RoutePageWithOneRoute : public RoutePageTest {
protected:
    RoutePageWithOneRoute() : RoutePageTest(StandInServer::Data::Empty) {}
    void seed() override {
        server->execute(
            QStringLiteral("INSERT INTO facilities VALUES (1, 'Solo Depot');"
                           "INSERT INTO routes VALUES (1, 1, 'S1', 'Only route', '2024-01-01')"));
    }
};

TEST_F(RoutePageWithOneRoute, DeletingTheLastRouteLeavesAnEmptyIdlePage) {
    clickRow(*list, 1);
    click(remove);

    ASSERT_EQ(boxes.shown().size(), 2u) << boxes.prompts().join(qs(" | ")).toStdString();
    EXPECT_EQ(boxes.shown()[1].prompt, DeletedPrompt);
    EXPECT_EQ(dbValue("SELECT count(*) FROM routes"), "0");
    EXPECT_EQ(list->count(), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);

    boxes.clear();
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(RoutePageWithOneRoute, CancelWithAnEmptyListEmptiesTheBoxes) {
    clickRow(*list, 1);
    click(remove);
    ASSERT_EQ(list->count(), 0);
    boxes.clear();

    click(add);
    QTest::keyClicks(route, QStringLiteral("S2"));
    QTest::keyClicks(description, QStringLiteral("Never saved"));
    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QString(), QString());
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(dbValue("SELECT count(*) FROM routes"), "0");
}

// --- The service refuses, or cannot be reached -----------------------------------------------

TEST_F(RoutePageTest, RefusedDeleteOfAnAssignedRouteIsReportedOnceAndChangesNothing) {
    clickRoute(QStringLiteral("01"));
    click(remove);

    expectOneTransportReport(1);
    EXPECT_EQ(boxes.shown()[0].prompt, ConfirmDeletePrompt);
    EXPECT_FALSE(boxes.prompts().contains(DeletedPrompt));
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(log.entries()[0].contains(QStringLiteral("still assigned")));

    EXPECT_EQ(routeCount(), "12");
    EXPECT_EQ(list->count(), 12);
    EXPECT_EQ(selectedPosition(*list), positionOf(*list, QStringLiteral("01")));
    expectBoxes(QStringLiteral("01"), QStringLiteral("Downtown Loop"));
    expectMode(Mode::Idle);
}

TEST_F(RoutePageTest, RefusedUpdateOfARouteDeletedMeanwhileKeepsTheChangingMode) {
    clickRoute(QStringLiteral("03"));
    click(change);
    QTest::keyClicks(description, QStringLiteral("Gone north"));
    pickEntry(facility, Harbour);
    server->execute(QStringLiteral("DELETE FROM routes WHERE code = '03'"));
    click(add);

    expectOneTransportReport();
    expectMode(Mode::Changing);
    expectBoxes(QStringLiteral("03"), QStringLiteral("Gone north"));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_EQ(list->count(), 12);
    EXPECT_EQ(row(*list, positionOf(*list, QStringLiteral("03"))),
              (QStringList{QStringLiteral("03"), QStringLiteral("Northern Suburbs"), Northfield}));

    boxes.clear();
    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("03"), QStringLiteral("Northern Suburbs"));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(RoutePageTest, RefusedAddKeepsTheInputForACorrectedSecondTry) {
    // Another client took Y1 at Northfield after the page last read the routes.
    server->execute(
        QStringLiteral("INSERT INTO routes VALUES (30, 1, 'Y1', 'Taken', '2024-01-01')"));
    click(add);
    QTest::keyClicks(route, QStringLiteral("Y1"));
    QTest::keyClicks(description, QStringLiteral("Yonder"));
    pickEntry(facility, Northfield);
    click(add);

    expectOneTransportReport();
    expectMode(Mode::Adding);
    expectBoxes(QStringLiteral("Y1"), QStringLiteral("Yonder"));
    EXPECT_EQ(facility->shownText(), Northfield);
    EXPECT_EQ(list->count(), 12);
    EXPECT_EQ(routeCount(), "13");

    boxes.clear();
    log.clear();
    retype(route, QStringLiteral("Y2"));
    click(add);
    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Route Added")));
    EXPECT_EQ(routeRow("Y2"), "Y2|Yonder|" + Northfield);
    EXPECT_EQ(list->count(), 14);
    expectMode(Mode::Idle);
}

TEST_F(RoutePageTest, AnUnreachableServiceIsReportedOnceAndThePageKeepsItsMode) {
    server->stop();

    click(add);
    QTest::keyClicks(route, QStringLiteral("Z5"));
    QTest::keyClicks(description, QStringLiteral("Offline"));
    click(add);
    expectOneTransportReport();
    expectMode(Mode::Adding);
    expectBoxes(QStringLiteral("Z5"), QStringLiteral("Offline"));
    EXPECT_EQ(list->count(), 12);

    click(change);
    clickRoute(QStringLiteral("10"));
    click(change);
    QTest::keyClicks(description, QStringLiteral("Late"));
    boxes.clear();
    log.clear();
    click(add);
    expectOneTransportReport();
    expectMode(Mode::Changing);
    expectBoxes(QStringLiteral("10"), QStringLiteral("Late"));

    click(change);
    boxes.clear();
    log.clear();
    click(remove);
    expectOneTransportReport(1);
    EXPECT_EQ(list->count(), 12);
    expectBoxes(QStringLiteral("10"), QStringLiteral("Evening Express"));
    expectMode(Mode::Idle);
}

// --- Stale references, sorting, the key filter --------------------------------------------------

TEST_F(RoutePageTest, AReferenceToARouteARebuildRemovedIsReportedNotFollowed) {
    clickRoute(QStringLiteral("01"));
    // A reload from a server that is gone empties the list without clearing the selection.
    server->stop();
    component->LoadData(server->serverName());
    ASSERT_EQ(list->count(), 0);
    boxes.clear();
    log.clear();

    click(change);
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("ChangeRoute")});
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(log.entries()[0].contains(QStringLiteral("removed")));
}

TEST_F(RoutePageTest, HeaderClicksChooseTheSortColumnAndFlipTheOrder) {
    const auto ascending = [](QStringList values) {
        std::sort(values.begin(), values.end());
        return values;
    };
    const auto descending = [](QStringList values) {
        std::sort(values.begin(), values.end(), std::greater<>());
        return values;
    };
    EXPECT_EQ(column(*list, 0), ascending(column(*list, 0)));

    clickHeader(*list, 2);
    EXPECT_EQ(list->sortKey(), 1);
    EXPECT_EQ(list->sortOrder(), 0);
    EXPECT_EQ(column(*list, 1), ascending(column(*list, 1)));
    EXPECT_EQ(row(*list, 1).at(1), "Airport & Industrial Park");

    clickHeader(*list, 2);
    EXPECT_EQ(list->sortOrder(), 1);
    EXPECT_EQ(column(*list, 1), descending(column(*list, 1)));

    // Another column becomes the key and keeps the order.
    clickHeader(*list, 3);
    EXPECT_EQ(list->sortKey(), 2);
    EXPECT_EQ(list->sortOrder(), 1);
    EXPECT_EQ(column(*list, 2), descending(column(*list, 2)));
    EXPECT_EQ(row(*list, 1).at(2), Northfield);

    clickHeader(*list, 3);
    EXPECT_EQ(list->sortOrder(), 0);
    EXPECT_EQ(row(*list, 1).at(2), Depot);
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(RoutePageTest, ApostrophesNeverReachTheBoxesTypedOrPasted) {
    click(add);
    QTest::keyClicks(route, QStringLiteral("'Z'6"));
    EXPECT_EQ(route->text(), "Z6");
    QTest::keyClicks(description, QStringLiteral("Bob's & \"Ann's\""));
    EXPECT_EQ(description->text(), "Bobs & \"Anns\"");
    paste(description, QStringLiteral(" O'Neil's"));
    EXPECT_EQ(description->text(), "Bobs & \"Anns\" ONeils");
    retype(route, QString());
    paste(route, QStringLiteral("'7'"));
    EXPECT_EQ(route->text(), "7");

    pickEntry(facility, Northfield);
    click(add);
    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Route Added")));
    EXPECT_EQ(routeRow("7"), "7|Bobs & \"Anns\" ONeils|" + Northfield);
}

// A key the service holds but a 16-bit request cannot carry is reported; nothing is sent.
class RoutePageWithWideKey : public RoutePageTest {
protected:
    void seed() override {
        server->execute(
            QStringLiteral("PRAGMA ignore_check_constraints = ON;"
                           "INSERT INTO routes VALUES (40001, 1, 'W1', 'Wide', '2024')"));
    }
};

TEST_F(RoutePageWithWideKey, UpdateAndDeleteAreReportedAndSendNothing) {
    clickRoute(QStringLiteral("W1"));
    click(change);
    retype(description, QStringLiteral("Wider"));
    click(add);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("AddRoute")});
    EXPECT_TRUE(log.entries().value(0).contains(QStringLiteral("Overflow")));
    expectMode(Mode::Changing);
    click(change);
    log.clear();
    click(remove);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("DeleteRoute")});
    EXPECT_EQ(routeRow("W1"), "W1|Wide|" + Northfield);
}

} // namespace
