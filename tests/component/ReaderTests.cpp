// The readers that turn the service's data sets into records, lists and drop-downs.
#include "DataSetText.h"
#include "failures/StowlineError.h"
#include "platform/SystemColours.h"
#include "readers/Readers.h"
#include "support/Recorders.h"
#include "widget/StowlinePrivate.h"

#include <QHeaderView>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace stowline;
using test::dataSetText;
using test::Row;

namespace {

Row route(const QString& id, const QString& code, const QString& description,
          const QString& facility, const QString& facilityId) {
    return {{"DeliveryRouteID", id},
            {"Route", code},
            {"Description", description},
            {"Facility", facility},
            {"TOVAFacilityID", facilityId}};
}

Row bay(const QString& id, const QString& name, const QString& description, const QString& facility,
        const QString& facilityId) {
    return {{"StorageLocationID", id},
            {"RouteName", name},
            {"Description", description},
            {"Facility", facility},
            {"TOVAFacilityID", facilityId}};
}

Row center(const QString& id, const QString& status) {
    return {{"CenterID", id},
            {"CenterName", "Center " + id},
            {"Status", status},
            {"Facility", "North"},
            {"TOVAFacilityID", "1"}};
}

Row facility(const QString& id, const QString& name) {
    return {{"Description", name}, {"TOVAFacilityID", id}};
}

class Readers : public ::testing::Test {
protected:
    Readers() : component(&owner) { component.UserControl_Initialize(); }

    QStringList column(platform::ListView& list, int column) {
        QStringList values;
        for (int i = 1; i <= list.count(); ++i) {
            const platform::ListItemRef item = list.itemAt(i);
            values << (column == 0 ? list.text(item) : list.subItem(item, column));
        }
        return values;
    }

    static QStringList entries(platform::DropDown& dropDown) {
        QStringList texts;
        for (int i = 0; i < dropDown.listCount(); ++i) {
            texts << dropDown.entryText(i);
        }
        return texts;
    }

    state::ComponentState& state() { return component.state; }
    state::ControlSurface& ui() { return component.state.ui; }

    test::MessageBoxRecorder boxes;
    test::EventLogRecorder log;
    QWidget owner;
    StowlinePrivate component;
};

} // namespace

TEST_F(Readers, RoutesFillListAndRecordsFromIndexOneKeepingIndexZeroEmpty) {
    readers::RefreshRouteData(state(), dataSetText({route("3", "B2", "Beta", "North", "1"),
                                                    route("1", "A1", "Alpha", "North", "1"),
                                                    route("2", "C3", "Gamma", "South", "2")}));
    ASSERT_EQ(state().mRoutes.size(), 4u);
    EXPECT_EQ(state().mRoutes[0], RouteUDT{});
    // Records keep document order; the list shows them sorted by its first column.
    EXPECT_EQ(state().mRoutes[1], (RouteUDT{"Beta", "North", "3", "B2", "1"}));
    EXPECT_EQ(state().mRoutes[3].ID, "2");
    EXPECT_EQ(column(*ui().lstRoute, 0), (QStringList{"A1", "B2", "C3"}));
    EXPECT_EQ(column(*ui().lstRoute, 1), (QStringList{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(column(*ui().lstRoute, 2), (QStringList{"North", "North", "South"}));
    EXPECT_EQ(ui().lstRoute->tag(ui().lstRoute->itemAt(1)), QVariant(QStringLiteral("1")));

    // A second, shorter answer cuts the records down to its own rows.
    readers::RefreshRouteData(state(), dataSetText({route("9", "Z9", "Zeta", "North", "1")}));
    ASSERT_EQ(state().mRoutes.size(), 2u);
    EXPECT_EQ(state().mRoutes[1].Route, "Z9");
    EXPECT_EQ(ui().lstRoute->count(), 1);

    // An answer without rows empties the list but keeps the records for the validations.
    readers::RefreshRouteData(state(), dataSetText({}));
    EXPECT_EQ(ui().lstRoute->count(), 0);
    EXPECT_EQ(state().mRoutes.size(), 2u);

    // Text that does not parse: the list is empty, nothing is reported or shown.
    readers::RefreshRouteData(state(), dataSetText({route("9", "Z9", "Zeta", "North", "1")}));
    readers::RefreshRouteData(state(), QByteArray("<Root><DataSet>"));
    EXPECT_EQ(ui().lstRoute->count(), 0);
    EXPECT_EQ(state().mRoutes.size(), 2u);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(Readers, MissingColumnsAreEmptyForTheirRowNotCarriedFromThePreviousOne) {
    readers::RefreshRouteData(
        state(), dataSetText({route("1", "A1", "Alpha", "North", "1"),
                              {{"Route", "B2"}, {"Facility", "North"}, {"TOVAFacilityID", "1"}}}));
    ASSERT_EQ(state().mRoutes.size(), 3u);
    EXPECT_EQ(state().mRoutes[2].Description, "");
    EXPECT_EQ(state().mRoutes[2].ID, "");
    // A row without a key carries the integer 0 as its tag.
    platform::ListView& list = *ui().lstRoute;
    EXPECT_EQ(list.tag(list.itemAt(2)), QVariant(0));
    EXPECT_EQ(list.subItem(list.itemAt(2), 1), "");
}

TEST_F(Readers, CellsInAnyOrderLandInTheirColumnsAndARepeatedCellTakesTheLaterValue) {
    readers::RefreshRouteData(state(), dataSetText({{{"TOVAFacilityID", "1"},
                                                     {"Description", "Alpha"},
                                                     {"DeliveryRouteID", "7"},
                                                     {"Route", "A1"},
                                                     {"Description", "Omega"},
                                                     {"Facility", "North"}}}));
    ASSERT_EQ(state().mRoutes.size(), 2u);
    EXPECT_EQ(state().mRoutes[1].ID, "7");
    EXPECT_EQ(state().mRoutes[1].Route, "A1");
    EXPECT_EQ(state().mRoutes[1].Description, "Omega");
    EXPECT_EQ(state().mRoutes[1].Facility, "North");
    EXPECT_EQ(state().mRoutes[1].TOVAFacilityID, "1");
}

TEST_F(Readers, OnlyTablesOnTheExactPathAreRows) {
    const QString diffgram =
        QStringLiteral("xmlns:diffgr=\"urn:schemas-microsoft-com:xml-diffgram-v1\"");
    struct Case {
        const char* name;
        QString text;
        int rows;
    };
    const std::vector<Case> cases{
        {"table under another diffgram prefix",
         "<Root><DataSet><dg:diffgram xmlns:dg=\"urn:x\"><NewDataSet><Table><Route>A</Route>"
         "</Table></NewDataSet></dg:diffgram></DataSet></Root>",
         0},
        {"table directly under DataSet",
         "<Root><DataSet><Table><Route>A</Route></Table></DataSet></Root>", 0},
        {"lower-case root",
         "<root><DataSet><diffgr:diffgram " + diffgram +
             "><NewDataSet><Table><Route>A</Route></Table></NewDataSet>"
             "</diffgr:diffgram></DataSet></root>",
         0},
        {"two DataSet elements give the rows of both",
         "<Root><DataSet><diffgr:diffgram " + diffgram +
             "><NewDataSet><Table><Route>A</Route></Table></NewDataSet></diffgr:diffgram>"
             "</DataSet><DataSet><diffgr:diffgram " +
             diffgram +
             "><NewDataSet><Table><Route>B</Route></Table></NewDataSet></diffgr:diffgram>"
             "</DataSet></Root>",
         2},
    };
    for (const Case& c : cases) {
        readers::RefreshRouteData(state(), c.text.toUtf8());
        EXPECT_EQ(ui().lstRoute->count(), c.rows) << c.name;
    }
    // Row elements are matched case-sensitively.
    readers::RefreshRouteData(state(), dataSetText({{{"route", "x"}, {"DeliveryRouteID", "4"}}}));
    EXPECT_EQ(state().mRoutes[1].Route, "");
    EXPECT_EQ(state().mRoutes[1].ID, "4");
}

TEST_F(Readers, ValuesWithMarkupCharactersAndAccentsReadBackWhole) {
    readers::RefreshLocationData(
        state(),
        dataSetText({bay("7", "B&amp;1", "Dock &lt;east&gt; &amp; yard", "Montr\u00e9al", "1")}));
    ASSERT_EQ(state().mStorageLocations.size(), 2u);
    EXPECT_EQ(state().mStorageLocations[1],
              (StorageLocationUDT{"Dock <east> & yard", "7", QString::fromUtf8("Montréal"), "1"}));
    // The bay's name is shown but has no place in the record.
    platform::ListView& list = *ui().lstLocation;
    EXPECT_EQ(list.text(list.itemAt(1)), "B&1");
}

TEST_F(Readers, TheActiveFilterTakesOnlyTheExactStatusTwo) {
    readers::RefreshStowlineData(state(),
                                 dataSetText({center("1", "1"),
                                              center("2", "2"),
                                              center("3", "02"),
                                              center("4", "2"),
                                              center("5", "2.0"),
                                              center("6", " 2"),
                                              {{"CenterID", "7"}}}),
                                 true);
    platform::ListView& list = *ui().lstStowline;
    EXPECT_EQ(column(list, 0), (QStringList{"2", "4"}));
    // Each item carries its own copy of the record.
    const auto record = list.tag(list.itemAt(2)).value<RouteAndLocationsUDT>();
    EXPECT_EQ(record.CenterID, "4");
    EXPECT_EQ(record.Name, "Center 4");

    // All centers, then the active ones again, from the same answer: the service is not asked.
    readers::RefreshStowlineData(state(), false);
    EXPECT_EQ(list.count(), 7);
    readers::RefreshStowlineData(state(), true);
    EXPECT_EQ(column(list, 0), (QStringList{"2", "4"}));
    readers::RefreshStowlineData(state(), QByteArray("<Root>"), true);
    readers::RefreshStowlineData(state(), false);
    EXPECT_EQ(list.count(), 0); // the last answer did not parse
}

TEST_F(Readers, CenterColumnsLandInTheirListColumns) {
    readers::RefreshStowlineData(state(),
                                 dataSetText({{{"CenterID", "12"},
                                               {"CenterName", "Harbour"},
                                               {"CenterLocation", "Bay desc"},
                                               {"CenterRoute", "Route desc"},
                                               {"Facility", "North"},
                                               {"DeliveryRouteID", "5"},
                                               {"Route", "R5"},
                                               {"StorageLocationID", "8"},
                                               {"Status", "2"},
                                               {"TOVAFacilityID", "1"}}}),
                                 true);
    platform::ListView& list = *ui().lstStowline;
    const platform::ListItemRef item = list.itemAt(1);
    const QStringList shown{list.text(item),       list.subItem(item, 1), list.subItem(item, 2),
                            list.subItem(item, 3), list.subItem(item, 4), list.subItem(item, 5),
                            list.subItem(item, 6), list.subItem(item, 7)};
    EXPECT_EQ(shown,
              (QStringList{"12", "Harbour", "Route desc", "Bay desc", "North", "1", "R5", "5"}));
    const auto record = list.tag(item).value<RouteAndLocationsUDT>();
    EXPECT_EQ(record.Location, "Bay desc");
    EXPECT_EQ(record.RouteDescription, "Route desc");
    EXPECT_EQ(record.StorageLocationID, "8");
}

// Texts that repeat within a column are converted once and shared; whatever the pattern of
// repeats, every row must still read exactly its own cells.
TEST_F(Readers, ManyRowsReadTheirOwnCellsWhetherTextsRepeatOrNot) {
    constexpr int Rows = 700;
    std::vector<Row> rows;
    std::vector<RouteAndLocationsUDT> expected(1);
    for (int i = 1; i <= Rows; ++i) {
        const QString n = QString::number(i);
        // Facility repeats throughout; the route repeats for the first rows and then never;
        // the bay never repeats at first and then always; the name is unique; the location
        // mixes a reference, CDATA and nested markup, which take the general way.
        const QString facility = i % 3 == 0 ? "North" : (i % 3 == 1 ? "S\u00fcd" : "");
        const QString route = i <= 300 ? QString("R%1").arg(i % 4) : "Q" + n;
        const QString bay = i <= 300 ? "B" + n : "B";
        QString location = "L&amp;" + QString::number(i % 5);
        QString locationRead = "L&" + QString::number(i % 5);
        if (i % 7 == 0) {
            location = "<![CDATA[<c>]]>" + n;
            locationRead = "<c>" + n;
        } else if (i % 11 == 0) {
            location = "x<b>y</b>z";
            locationRead = "xyz";
        }
        rows.push_back({{"CenterID", n},
                        {"CenterName", "Center " + n},
                        {"CenterLocation", location},
                        {"CenterRoute", route + " desc"},
                        {"Facility", facility},
                        {"DeliveryRouteID", QString::number(i % 4)},
                        {"Route", route},
                        {"StorageLocationID", bay},
                        {"Status", "2"},
                        {"TOVAFacilityID", QString::number(i % 3)}});
        RouteAndLocationsUDT record;
        record.CenterID = n;
        record.Name = "Center " + n;
        record.Location = locationRead;
        record.RouteDescription = route + " desc";
        record.Facility = facility;
        record.DeliveryRouteID = QString::number(i % 4);
        record.Route = route;
        record.StorageLocationID = bay;
        record.Status = "2";
        record.TOVAFacilityID = QString::number(i % 3);
        expected.push_back(record);
    }
    readers::RefreshStowlineData(state(), dataSetText(rows), true);

    platform::ListView& list = *ui().lstStowline;
    ASSERT_EQ(list.count(), Rows);
    for (int i = 1; i <= Rows; ++i) {
        const platform::ListItemRef item = list.itemAt(i);
        const auto record = list.tag(item).value<RouteAndLocationsUDT>();
        ASSERT_EQ(record, expected[record.CenterID.toInt()]);
        ASSERT_EQ(list.subItem(item, 2), record.RouteDescription);
        ASSERT_EQ(list.subItem(item, 3), record.Location);
        ASSERT_EQ(list.subItem(item, 6), record.Route);
    }
}

TEST_F(Readers, FacilitiesFillAllThreeDropDownsAndChooseTheFirstForTheAssignmentPage) {
    readers::RefreshRouteData(state(), dataSetText({route("1", "A1", "Alpha", "North", "1"),
                                                    route("2", "B2", "Beta", "South", "2")}));
    readers::RefreshFacilityDrop(state(),
                                 dataSetText({facility("2", "South"), facility("1", "North")}));
    for (platform::DropDown* dropDown : {ui().cboFacility, ui().cboFacility2, ui().cboFacility3}) {
        EXPECT_EQ(entries(*dropDown), (QStringList{"South", "North"}));
        EXPECT_EQ(dropDown->itemData(0), 2);
        EXPECT_EQ(dropDown->itemData(1), 1);
    }
    EXPECT_EQ(ui().cboFacility->listIndex(), -1);
    EXPECT_EQ(ui().cboFacility3->listIndex(), -1);
    EXPECT_EQ(ui().cboFacility2->listIndex(), 0);
    EXPECT_EQ(state().mSelectedFacilityID, "2");
    EXPECT_EQ(entries(*ui().cboRoute), (QStringList{"Beta(B2)"}));

    // A second load replaces, never duplicates.
    readers::RefreshFacilityDrop(state(),
                                 dataSetText({facility("2", "South"), facility("1", "North")}));
    EXPECT_EQ(ui().cboFacility3->listCount(), 2);
}

TEST_F(Readers, FacilityFailuresAreShownOrReported) {
    // Only the facilities reader tells the operator that its text did not parse.
    readers::RefreshFacilityDrop(state(), QByteArray());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_FALSE(boxes.shown()[0].prompt.isEmpty());
    EXPECT_EQ(boxes.shown()[0].style, 64);
    EXPECT_TRUE(boxes.shown()[0].title.isEmpty());
    EXPECT_TRUE(log.entries().isEmpty());
    boxes.clear();

    // A facility without a key stops the reader after its first entry.
    readers::RefreshFacilityDrop(
        state(), dataSetText({{{"Description", "Nowhere"}}, facility("1", "North")}));
    EXPECT_EQ(ui().cboFacility->listCount(), 1);
    EXPECT_EQ(ui().cboFacility2->listCount(), 0);
    EXPECT_EQ(log.procedures(), QStringList{"RefreshFacilityDrop"});
    EXPECT_EQ(boxes.errorBoxes(), 1);
}

TEST_F(Readers, PickListsFollowTheChosenFacilityComparedAsText) {
    // No routes read yet: the route pick list is emptied, even with a facility chosen, and
    // nothing else about it changes.
    state().mSelectedFacilityID = QStringLiteral("1");
    ui().cboRoute->addEntry(QStringLiteral("stale"));
    readers::RefreshRouteComboBox(state());
    EXPECT_EQ(ui().cboRoute->listCount(), 0);
    EXPECT_FALSE(ui().cboRoute->locked());
    EXPECT_EQ(ui().cboRoute->backColour(), platform::buttonFaceColour());
    state().mSelectedFacilityID.clear();

    readers::RefreshLocationData(state(), dataSetText({bay("4", "B1", "Dock", "North", "1"),
                                                       bay("5", "B2", "Yard", "South", "2"),
                                                       bay("", "B3", "No key", "North", "1"),
                                                       bay("x", "B4", "Bad key", "North", "1")}));
    readers::RefreshRouteData(state(), dataSetText({route("1", "A1", "Alpha", "North", " 1"),
                                                    route("2", "B2", "Beta", "North", "1"),
                                                    route("3", "C3", "Gamma", "North", "1")}));
    EXPECT_EQ(ui().cboRoute->listCount(), 0);
    EXPECT_EQ(entries(*ui().cboLocation), (QStringList{"Dock(4)", "Yard(5)"}));

    state().mSelectedFacilityID = QStringLiteral("1");
    readers::RefreshRouteComboBox(state());
    readers::RefreshStorageLocationComboBox(state());
    // " 1" is not "1"; records without a numeric key are not offered.
    EXPECT_EQ(entries(*ui().cboRoute), (QStringList{"Beta(B2)", "Gamma(C3)"}));
    EXPECT_EQ(ui().cboRoute->itemData(1), 3);
    EXPECT_EQ(ui().cboRoute->listIndex(), 0);
    EXPECT_FALSE(ui().cboRoute->locked());
    EXPECT_EQ(entries(*ui().cboLocation), (QStringList{"Dock(4)"}));

    state().mSelectedFacilityID = QStringLiteral("9");
    readers::RefreshRouteComboBox(state());
    readers::RefreshStorageLocationComboBox(state());
    EXPECT_EQ(entries(*ui().cboRoute), (QStringList{"No Routes Found"}));
    EXPECT_EQ(entries(*ui().cboLocation), (QStringList{"Not Locations Found"}));
    for (platform::DropDown* dropDown : {ui().cboRoute, ui().cboLocation}) {
        EXPECT_EQ(dropDown->itemData(0), 0);
        EXPECT_EQ(dropDown->listIndex(), 0);
        EXPECT_FALSE(dropDown->isEnabled());
        EXPECT_TRUE(dropDown->locked());
        EXPECT_EQ(dropDown->backColour(), QColor(Qt::white));
    }

    // Found again: unlocked, but still disabled and white until the page enables it.
    state().mSelectedFacilityID = QStringLiteral("1");
    readers::RefreshRouteComboBox(state());
    EXPECT_FALSE(ui().cboRoute->locked());
    EXPECT_FALSE(ui().cboRoute->isEnabled());
    EXPECT_TRUE(log.entries().isEmpty());
}

// A reader that parsed runs its closing steps even without rows; one whose text did not parse
// does not. Either way its list is empty and its records stay for the validations.
TEST_F(Readers, EmptyOrUnparsableAnswersKeepTheRecordsAndRefreshOnlyAfterAParse) {
    readers::RefreshLocationData(state(), dataSetText({bay("4", "B1", "Dock", "North", "1")}));
    readers::RefreshStowlineData(state(), dataSetText({center("7", "2")}), true);
    struct Case {
        const char* what;
        std::function<void(const QByteArray&)> read;
        platform::ListView* list;
        std::vector<platform::DropDown*> refreshed;
    };
    const Case cases[] = {
        {"bays",
         [&](const QByteArray& t) { readers::RefreshLocationData(state(), t); },
         ui().lstLocation,
         {ui().cboLocation}},
        {"centers",
         [&](const QByteArray& t) { readers::RefreshStowlineData(state(), t, true); },
         ui().lstStowline,
         {ui().cboRoute, ui().cboLocation}},
    };
    for (const Case& c : cases) {
        for (const bool parses : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (parses ? " without rows" : " not parsing"));
            for (platform::DropDown* pickList : {ui().cboRoute, ui().cboLocation}) {
                pickList->clearEntries();
                pickList->addEntry(QStringLiteral("stale"));
            }
            c.read(parses ? dataSetText({}) : QByteArray("<Root>"));
            EXPECT_EQ(c.list->count(), 0);
            for (platform::DropDown* pickList : {ui().cboRoute, ui().cboLocation}) {
                const bool refreshed =
                    parses && std::count(c.refreshed.begin(), c.refreshed.end(), pickList) > 0;
                EXPECT_EQ(entries(*pickList).contains(QStringLiteral("stale")), !refreshed)
                    << pickList->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(state().mStorageLocations.size(), 2u);
    EXPECT_EQ(entries(*ui().cboLocation), QStringList{"stale"});

    // Facilities without rows: the drop-downs are emptied, and no facility is chosen, so the
    // pick lists are left as they were.
    readers::RefreshFacilityDrop(state(), dataSetText({facility("1", "North")}));
    ASSERT_EQ(state().mSelectedFacilityID, "1");
    ui().cboLocation->addEntry(QStringLiteral("kept"));
    readers::RefreshFacilityDrop(state(), dataSetText({}));
    for (platform::DropDown* dropDown : {ui().cboFacility, ui().cboFacility2, ui().cboFacility3}) {
        EXPECT_EQ(dropDown->listCount(), 0);
    }
    EXPECT_TRUE(entries(*ui().cboLocation).contains(QStringLiteral("kept")));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().isEmpty());
}

TEST_F(Readers, AReferenceToAnItemARebuildRemovedFailsInsteadOfCrashing) {
    readers::RefreshRouteData(state(), dataSetText({route("1", "A1", "Alpha", "North", "1")}));
    platform::ListView& list = *ui().lstRoute;
    const platform::ListItemRef old = list.itemAt(1);
    readers::RefreshRouteData(state(), dataSetText({route("1", "A1", "Alpha", "North", "1")}));
    EXPECT_FALSE(old.isNothing());
    EXPECT_THROW((void)list.text(old), StowlineError);
    EXPECT_THROW((void)list.indexOf(old), StowlineError);
    EXPECT_EQ(list.text(list.itemAt(1)), "A1");
}

TEST_F(Readers, HeaderClicksChooseTheSortColumnAndFlipTheOrder) {
    readers::RefreshRouteData(state(), dataSetText({route("1", "A1", "Zulu", "North", "1"),
                                                    route("2", "B2", "Alpha", "South", "1"),
                                                    route("3", "C3", "Mike", "East", "1")}));
    platform::ListView& list = *ui().lstRoute;
    ASSERT_EQ(column(list, 0), (QStringList{"A1", "B2", "C3"}));

    owner.resize(700, 460);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    ui().SSTab1->setCurrentIndex(0);
    ui().fraRouteList->setEnabled(true);
    // A real click on the "Description" header: new key, order stays ascending.
    QHeaderView* header = list.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(list.sortKey(), 1);
    EXPECT_EQ(list.sortOrder(), 0);
    EXPECT_EQ(column(list, 1), (QStringList{"Alpha", "Mike", "Zulu"}));

    list.onColumnClick(2); // same key: descending
    EXPECT_EQ(list.sortOrder(), 1);
    EXPECT_EQ(column(list, 1), (QStringList{"Zulu", "Mike", "Alpha"}));

    list.onColumnClick(3); // another key keeps the descending order
    EXPECT_EQ(list.sortKey(), 2);
    EXPECT_EQ(list.sortOrder(), 1);
    EXPECT_EQ(column(list, 2), (QStringList{"South", "North", "East"}));

    // A rebuild keeps the chosen sort.
    readers::RefreshRouteData(state(), dataSetText({route("4", "D4", "X", "Alpha", "1"),
                                                    route("5", "E5", "Y", "Beta", "1")}));
    EXPECT_EQ(column(list, 2), (QStringList{"Beta", "Alpha"}));
}
