// The storage-location page as an operator uses it: modes, validation, add, change, delete,
// sorting and the description's key filter, checked against what the stand-in service holds.
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

const QString AddedPrompt = QStringLiteral("Storage location has been added successfully!!!!.");
const QString UpdatedPrompt = QStringLiteral("Storage location has been updated successfully!!!!.");
const QString DeletedPrompt = QStringLiteral("Storage location has been deleted successfully!!!!");
const QString ConfirmDeletePrompt = QStringLiteral(
    "The selected storage location will be deleted permanently. Do you want to proceed?");
const QString SelectToChangePrompt = QStringLiteral("Please select a Location to change.");
const QString DescriptionPrompt = QStringLiteral("Enter a Location description.");
const QString DuplicatePrompt =
    QStringLiteral("This Storage Location already defined, please enter different Location.");

class LocationPageTest : public PageTest {
protected:
    using PageTest::PageTest;

    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        showPage(1);
        list = control<platform::ListView>("lstLocation");
        frame = control<QFrame>("fraLocationList");
        name = control<platform::TextBox>("txtLocationID");
        description = control<platform::TextBox>("txtLocationDesc");
        facility = control<platform::DropDown>("cboFacility");
        add = control<QPushButton>("cmdAddLocation");
        change = control<QPushButton>("cmdChangeLocation");
        remove = control<QPushButton>("cmdDeleteLocation");
    }

    void clickBay(const QString& bay) {
        const int position = positionOf(*list, bay);
        ASSERT_GT(position, 0) << bay.toStdString();
        clickRow(*list, position);
    }

    enum class Mode { Idle, Adding, Changing };

    void expectMode(Mode mode) {
        const bool idle = mode == Mode::Idle;
        EXPECT_EQ(add->text(), idle ? "Add Location" : mode == Mode::Adding ? "Save" : "Update");
        EXPECT_EQ(change->text(), idle ? "Change Location" : "Cancel");
        EXPECT_EQ(remove->isEnabled(), idle);
        EXPECT_EQ(frame->isEnabled(), idle);
        EXPECT_TRUE(add->isEnabled());
        EXPECT_TRUE(change->isEnabled());
        expectEditable(*name, !idle);
        expectEditable(*description, !idle);
        expectEditable(*facility, !idle);
    }

    void expectBoxes(const QString& nameText, const QString& descriptionText) {
        EXPECT_EQ(name->text(), nameText);
        EXPECT_EQ(description->text(), descriptionText);
    }

    QString bayRow(int id) {
        return server->queryValue(
            QStringLiteral("SELECT s.name || '|' || s.description || '|' || f.name"
                           " FROM storage_locations s"
                           " JOIN facilities f ON f.facility_id = s.facility_id"
                           " WHERE s.storage_location_id = %1")
                .arg(id));
    }

    QString bayCount() { return dbValue("SELECT count(*) FROM storage_locations"); }

    platform::ListView* list = nullptr;
    QFrame* frame = nullptr;
    platform::TextBox* name = nullptr;
    platform::TextBox* description = nullptr;
    platform::DropDown* facility = nullptr;
    QPushButton* add = nullptr;
    QPushButton* change = nullptr;
    QPushButton* remove = nullptr;
};

// --- Modes -------------------------------------------------------------------------------

TEST_F(LocationPageTest, AddingModeAndCancelKeepTheTypedTexts) {
    clickBay(QStringLiteral("D1"));
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("D1"), QStringLiteral("Dock 1 staging"));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_FALSE(list->hideSelection());
    EXPECT_TRUE(hasFocus(list));

    click(add);
    expectMode(Mode::Adding);
    expectBoxes(QString(), QString());
    EXPECT_EQ(facility->listIndex(), 0);
    EXPECT_EQ(facility->shownText(), Depot);
    EXPECT_TRUE(list->hideSelection());
    EXPECT_TRUE(hasFocus(name));

    QTest::keyClicks(name, QStringLiteral("N-1"));
    QTest::keyClicks(description, QStringLiteral("Never saved"));
    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("N-1"), QStringLiteral("Never saved"));
    EXPECT_FALSE(hasFocus(list));
    EXPECT_TRUE(boxes.shown().empty());

    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
    expectMode(Mode::Idle);
    EXPECT_EQ(bayCount(), "15");
}

TEST_F(LocationPageTest, ChangingModeKeepsTheValuesAndCancelSendsNothing) {
    clickBay(QStringLiteral("Q-01"));
    click(change);
    expectMode(Mode::Changing);
    expectBoxes(QStringLiteral("Q-01"), QStringLiteral("Quarantine cage"));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_TRUE(hasFocus(name));
    // Tabbing on to the description selects its whole text.
    QTest::keyClick(name, Qt::Key_Tab);
    EXPECT_TRUE(hasFocus(description));
    EXPECT_EQ(description->selectedText(), "Quarantine cage");

    QTest::keyClicks(name, QStringLiteral("X"));
    click(change);
    expectMode(Mode::Idle);
    expectBoxes(QStringLiteral("Q-01X"), QStringLiteral("Quarantine cage"));
    EXPECT_TRUE(hasFocus(list));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(bayRow(8), "Q-01|Quarantine cage|" + Harbour);
}

TEST_F(LocationPageTest, ChangeOrDeleteWithNothingSelectedOnlyTells) {
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
    boxes.clear();
    click(remove);
    EXPECT_TRUE(shownOnly(QStringLiteral("Please select Storage Location to delete."),
                          platform::StyleOk, QStringLiteral("Information Required")));
    expectMode(Mode::Idle);
}

// --- Add -----------------------------------------------------------------------------------

TEST_F(LocationPageTest, AddAcceptsAnEmptyBayNameAndSendsTheDescriptionUntrimmed) {
    click(add);
    QTest::keyClicks(description, QStringLiteral(" Dock 3 "));
    pickEntry(facility, Harbour);
    click(add);

    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Add Storage Location")));
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(bayRow(16), "| Dock 3 |" + Harbour);

    expectMode(Mode::Idle);
    EXPECT_EQ(list->count(), 16);
    ASSERT_GT(selectedPosition(*list), 0);
    EXPECT_EQ(row(*list, selectedPosition(*list)),
              (QStringList{QString(), QStringLiteral(" Dock 3 "), Harbour}));
    EXPECT_EQ(list->tag(list->selectedItem()).toString(), "16");
    expectBoxes(QString(), QStringLiteral(" Dock 3 "));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_TRUE(hasFocus(list));

    boxes.clear();
    click(change);
    expectMode(Mode::Changing);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(LocationPageTest, OnlyTheDescriptionHasToBeNewNotTheBayName) {
    click(add);
    QTest::keyClicks(name, QStringLiteral("D1"));
    QTest::keyClicks(description, QStringLiteral("quarantine cage"));
    pickEntry(facility, Harbour);
    click(add);
    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Add Storage Location")));
    EXPECT_EQ(bayRow(16), "D1|quarantine cage|" + Harbour);
    expectBoxes(QStringLiteral("D1"), QStringLiteral("quarantine cage"));
}

TEST_F(LocationPageTest, InvalidInputIsRefusedWithTheDescriptionFocused) {
    struct Case {
        const char* description;
        const QString& prompt;
        const char* title;
    };
    const Case cases[] = {
        {"", DescriptionPrompt, "Information Required"},
        {"   ", DescriptionPrompt, "Information Required"},
        {"Quarantine cage", DuplicatePrompt, "Information Validation"},
        {"Chilled <2-4 °C>", DuplicatePrompt, "Information Validation"},
    };
    click(add);
    QTest::keyClicks(name, QStringLiteral("N-2"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        boxes.clear();
        retype(description, qs(c.description));
        click(add);
        EXPECT_TRUE(shownOnly(c.prompt, platform::StyleOk, qs(c.title)));
        EXPECT_TRUE(hasFocus(description));
        expectMode(Mode::Adding);
        expectBoxes(QStringLiteral("N-2"), qs(c.description));
    }
    EXPECT_EQ(bayCount(), "15");
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(LocationPageTest, AFacilityTextOfNoEntryIsRefusedBeforeAnythingIsSent) {
    click(add);
    QTest::keyClicks(description, QStringLiteral("Nowhere bay"));
    retype(facility->lineEdit(), QStringLiteral("Xanadu"));
    ASSERT_EQ(facility->listIndex(), -1);
    click(add);
    EXPECT_EQ(boxes.errorBoxes(), 1);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("AddLocation")});
    expectMode(Mode::Adding);
    expectBoxes(QString(), QStringLiteral("Nowhere bay"));

    click(change);
    clickBay(QStringLiteral("A-02"));
    click(change);
    retype(facility->lineEdit(), QString());
    boxes.clear();
    log.clear();
    click(add);
    EXPECT_TRUE(
        shownOnly(QStringLiteral("Please select a facility."), platform::StyleOk, QString()));
    EXPECT_TRUE(hasFocus(facility));
    expectMode(Mode::Changing);
    EXPECT_TRUE(log.entries().isEmpty());

    EXPECT_EQ(bayCount(), "15");
    EXPECT_EQ(bayRow(2), "A-02|Ambient aisle A, rear|" + Northfield);
}

// --- Change --------------------------------------------------------------------------------

TEST_F(LocationPageTest, UpdateChangesNameDescriptionAndFacilityAndReselectsByPosition) {
    const int position = positionOf(*list, QStringLiteral("Q-01"));
    clickRow(*list, position);
    click(change);
    retype(name, QStringLiteral("Q-02"));
    retype(description, QStringLiteral("Quarantine cage, moved"));
    pickEntry(facility, Depot);
    click(add);

    EXPECT_TRUE(
        shownOnly(UpdatedPrompt, platform::StyleOk, QStringLiteral("Update Storage Location")));
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(bayRow(8), "Q-02|Quarantine cage, moved|" + Depot);

    expectMode(Mode::Idle);
    EXPECT_EQ(selectedPosition(*list), position);
    EXPECT_EQ(row(*list, position), (QStringList{QStringLiteral("Q-02"),
                                                 QStringLiteral("Quarantine cage, moved"), Depot}));
    expectBoxes(QStringLiteral("Q-02"), QStringLiteral("Quarantine cage, moved"));
    EXPECT_EQ(facility->shownText(), Depot);
    EXPECT_TRUE(hasFocus(list));
}

TEST_F(LocationPageTest, UpdateLeavesNothingSelectedWhenTheListGotShorter) {
    clickRow(*list, 15);
    click(change);
    retype(description, QStringLiteral("Deep freeze"));
    server->execute(QStringLiteral("DELETE FROM storage_locations WHERE storage_location_id = 1"));
    click(add);

    EXPECT_TRUE(
        shownOnly(UpdatedPrompt, platform::StyleOk, QStringLiteral("Update Storage Location")));
    EXPECT_EQ(bayRow(13), QString::fromUtf8("É-03|Deep freeze|") + Depot);
    EXPECT_EQ(list->count(), 14);
    EXPECT_EQ(selectedPosition(*list), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);

    boxes.clear();
    click(change);
    EXPECT_TRUE(
        shownOnly(SelectToChangePrompt, platform::StyleOk, QStringLiteral("Information Required")));
}

// --- Delete --------------------------------------------------------------------------------

class LocationPageWithSpareBay : public LocationPageTest {
protected:
    void seed() override {
        server->execute(
            QStringLiteral("INSERT INTO storage_locations VALUES (16, 1, 'Z-99', 'Spare bay')"));
    }
};

TEST_F(LocationPageWithSpareBay, DeleteAskedAndConfirmedRemovesTheBayAndSelectsTheLast) {
    clickBay(QStringLiteral("Z-99"));
    click(remove);

    ASSERT_EQ(boxes.shown().size(), 2u) << boxes.prompts().join(qs(" | ")).toStdString();
    EXPECT_EQ(boxes.shown()[0].prompt, ConfirmDeletePrompt);
    EXPECT_EQ(boxes.shown()[0].style, platform::StyleYesNo);
    EXPECT_EQ(boxes.shown()[0].title, "Information Validation");
    EXPECT_EQ(boxes.shown()[1].prompt, DeletedPrompt);
    EXPECT_EQ(boxes.shown()[1].style, platform::StyleOk);
    EXPECT_EQ(boxes.shown()[1].title, "Storage Location Deleted");
    EXPECT_TRUE(log.entries().isEmpty());

    EXPECT_EQ(bayCount(), "15");
    EXPECT_EQ(bayRow(16), QString());
    EXPECT_EQ(list->count(), 15);
    EXPECT_EQ(selectedPosition(*list), 15);
    expectBoxes(QString::fromUtf8("É-03"), QString::fromUtf8("Congelé"));
    EXPECT_EQ(facility->shownText(), Depot);
    expectMode(Mode::Idle);
}

TEST_F(LocationPageWithSpareBay, DeleteAnsweredNoChangesNothing) {
    clickBay(QStringLiteral("Z-99"));
    boxes.queueAnswer(platform::AnswerNo);
    click(remove);

    EXPECT_TRUE(shownOnly(ConfirmDeletePrompt, platform::StyleYesNo,
                          QStringLiteral("Information Validation")));
    EXPECT_EQ(bayCount(), "16");
    EXPECT_EQ(selectedPosition(*list), positionOf(*list, QStringLiteral("Z-99")));
    expectBoxes(QStringLiteral("Z-99"), QStringLiteral("Spare bay"));
}

class LocationPageWithOneBay : public LocationPageTest {
protected:
    LocationPageWithOneBay() : LocationPageTest(StandInServer::Data::Empty) {}
    void seed() override {
        server->execute(
            QStringLiteral("INSERT INTO facilities VALUES (1, 'Solo Depot');"
                           "INSERT INTO storage_locations VALUES (1, 1, 'S-1', 'Only bay')"));
    }
};

TEST_F(LocationPageWithOneBay, DeletingTheLastBayLeavesAnEmptyIdlePage) {
    clickRow(*list, 1);
    click(remove);

    ASSERT_EQ(boxes.shown().size(), 2u) << boxes.prompts().join(qs(" | ")).toStdString();
    EXPECT_EQ(boxes.shown()[1].prompt, DeletedPrompt);
    EXPECT_EQ(bayCount(), "0");
    EXPECT_EQ(list->count(), 0);
    expectBoxes(QString(), QString());
    expectMode(Mode::Idle);
    EXPECT_TRUE(log.entries().isEmpty());

    boxes.clear();
    click(remove);
    EXPECT_TRUE(shownOnly(QStringLiteral("Please select Storage Location to delete."),
                          platform::StyleOk, QStringLiteral("Information Required")));
}

// --- The service refuses, or cannot be reached -----------------------------------------------

TEST_F(LocationPageTest, RefusedDeleteOfAnAssignedBayIsReportedOnceAndChangesNothing) {
    clickBay(QStringLiteral("A-01"));
    click(remove);

    expectOneTransportReport(1);
    EXPECT_FALSE(boxes.prompts().contains(DeletedPrompt));
    ASSERT_EQ(log.entries().size(), 1);
    EXPECT_TRUE(log.entries()[0].contains(QStringLiteral("still assigned")));

    EXPECT_EQ(bayCount(), "15");
    EXPECT_EQ(list->count(), 15);
    EXPECT_EQ(selectedPosition(*list), positionOf(*list, QStringLiteral("A-01")));
    expectBoxes(QStringLiteral("A-01"), QStringLiteral("Ambient aisle A, front"));
    expectMode(Mode::Idle);
}

TEST_F(LocationPageTest, RefusedUpdateOfABayDeletedMeanwhileKeepsTheChangingMode) {
    clickBay(QStringLiteral("R-01"));
    click(change);
    retype(description, QStringLiteral("Returns only"));
    server->execute(QStringLiteral("DELETE FROM storage_locations WHERE storage_location_id = 9"));
    click(add);

    expectOneTransportReport();
    expectMode(Mode::Changing);
    expectBoxes(QStringLiteral("R-01"), QStringLiteral("Returns only"));
    EXPECT_EQ(facility->shownText(), Harbour);
    EXPECT_EQ(list->count(), 15);
    EXPECT_EQ(row(*list, positionOf(*list, QStringLiteral("R-01"))),
              (QStringList{QStringLiteral("R-01"), QStringLiteral("Returns & damages"), Harbour}));
}

TEST_F(LocationPageTest, AnUnreachableServiceIsReportedOnceAndThePageKeepsItsMode) {
    server->stop();

    click(add);
    QTest::keyClicks(name, QStringLiteral("O-1"));
    QTest::keyClicks(description, QStringLiteral("Offline bay"));
    click(add);
    expectOneTransportReport();
    expectMode(Mode::Adding);
    expectBoxes(QStringLiteral("O-1"), QStringLiteral("Offline bay"));
    EXPECT_EQ(list->count(), 15);

    click(change);
    clickBay(QStringLiteral("M-01"));
    click(change);
    retype(description, QStringLiteral("Mezzanine"));
    boxes.clear();
    log.clear();
    click(add);
    expectOneTransportReport();
    expectMode(Mode::Changing);
    expectBoxes(QStringLiteral("M-01"), QStringLiteral("Mezzanine"));
    EXPECT_EQ(row(*list, positionOf(*list, QStringLiteral("M-01"))).at(1), "Mezzanine > 25 kg");
}

// --- Sorting, the key filter ---------------------------------------------------------------

TEST_F(LocationPageTest, HeaderClicksChooseTheSortColumnAndFlipTheOrder) {
    const auto ascending = [](QStringList values) {
        std::sort(values.begin(), values.end());
        return values;
    };
    const auto descending = [](QStringList values) {
        std::sort(values.begin(), values.end(), std::greater<>());
        return values;
    };
    EXPECT_EQ(column(*list, 0), ascending(column(*list, 0)));

    clickHeader(*list, 1);
    EXPECT_EQ(list->sortKey(), 0);
    EXPECT_EQ(list->sortOrder(), 1);
    EXPECT_EQ(column(*list, 0), descending(column(*list, 0)));

    clickHeader(*list, 2);
    EXPECT_EQ(list->sortKey(), 1);
    EXPECT_EQ(list->sortOrder(), 1);
    EXPECT_EQ(column(*list, 1), descending(column(*list, 1)));

    clickHeader(*list, 2);
    EXPECT_EQ(list->sortOrder(), 0);
    EXPECT_EQ(column(*list, 1), ascending(column(*list, 1)));
    EXPECT_EQ(row(*list, 1).at(1), "Ambient aisle A, front");
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(LocationPageTest, OnlyTheDescriptionFiltersApostrophesTypedOrPasted) {
    click(add);
    QTest::keyClicks(name, QStringLiteral("Q'1"));
    EXPECT_EQ(name->text(), "Q'1");
    QTest::keyClicks(description, QStringLiteral("Dock's end"));
    EXPECT_EQ(description->text(), "Docks end");
    paste(description, QStringLiteral(" & 'B' side"));
    EXPECT_EQ(description->text(), "Docks end & B side");

    pickEntry(facility, Northfield);
    click(add);
    EXPECT_TRUE(shownOnly(AddedPrompt, platform::StyleOk, QStringLiteral("Add Storage Location")));
    EXPECT_EQ(bayRow(16), "Q'1|Docks end & B side|" + Northfield);
}

// A key the service holds but a 16-bit request cannot carry is reported; nothing is sent.
class LocationPageWithWideKey : public LocationPageTest {
protected:
    void seed() override {
        server->execute(
            QStringLiteral("PRAGMA ignore_check_constraints = ON;"
                           "INSERT INTO storage_locations VALUES (40002, 1, 'W-1', 'Wide')"));
    }
};

TEST_F(LocationPageWithWideKey, UpdateAndDeleteAreReportedAndSendNothing) {
    clickBay(QStringLiteral("W-1"));
    click(change);
    retype(description, QStringLiteral("Wider"));
    click(add);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("AddLocation")});
    EXPECT_TRUE(log.entries().value(0).contains(QStringLiteral("Overflow")));
    expectMode(Mode::Changing);
    click(change);
    log.clear();
    click(remove);
    EXPECT_EQ(log.procedures(), QStringList{QStringLiteral("DeleteLocation")});
    EXPECT_EQ(bayRow(40002), "W-1|Wide|" + Northfield);
}

} // namespace
