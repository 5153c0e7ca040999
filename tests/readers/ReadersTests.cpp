// The readers that turn the service's data sets into records, lists and drop-downs.
#include "failures/StowlineError.h"
#include "readers/Readers.h"
#include "support/DataSetText.h"
#include "support/PageDriver.h"
#include "widget/StowlinePrivate.h"
#include "xml/XmlDocument.h"

#include <functional>

using namespace stowline;
using namespace stowline::test;

namespace {

Row bay(const QStringList& values) {
    return cells({"StorageLocationID", "RouteName", "Description", "Facility", "TOVAFacilityID"},
                 values);
}

Row center(const QString& id, const QString& status) {
    return {{"CenterID", id}, {"Status", status}};
}

// Every record of an array, index 0 included.
template <typename Record> std::vector<Record> records(const state::RecordTable<Record>& table) {
    std::vector<Record> all;
    for (std::size_t k = 0; k < table.size(); ++k) {
        all.push_back(table[k]);
    }
    return all;
}

class Readers : public ::testing::Test {
protected:
    Readers() { component.UserControl_Initialize(); }

    MessageBoxRecorder boxes;
    EventLogRecorder log;
    QWidget owner;
    StowlinePrivate component{&owner};
    state::ComponentState& state = component.state;
    surface::ControlSurface& ui = component.state.ui;
};

} // namespace

TEST_F(Readers, RoutesFillRecordsFromIndexOneAndTheListSorted) {
    readers::RefreshRouteData(state, dataSetText({route({"3", "B2", "Beta", "North", "1"}),
                                                  route({"1", "A1", "Alpha", "North", "1"}),
                                                  route({"2", "C3", "Gamma", "South", "2"})}));
    // Records keep document order after an empty index 0; the list sorts by its first column.
    EXPECT_EQ(records(state.mRoutes), (std::vector<RouteUDT>{{},
                                                             {"Beta", "North", "3", "B2", "1"},
                                                             {"Alpha", "North", "1", "A1", "1"},
                                                             {"Gamma", "South", "2", "C3", "2"}}));
    // The list's order, its tags and its references after a rebuild are the page tests' and
    // ListViewTests' business.
    controls::ListView& list = *ui.lstRoute;
    EXPECT_EQ(column(list, 0), (QStringList{"A1", "B2", "C3"}));

    // A second, shorter answer cuts the records down to its own rows.
    const QByteArray zeta = dataSetText({route({"9", "Z9", "Zeta", "North", "1"})});
    readers::RefreshRouteData(state, zeta);
    EXPECT_EQ(state.mRoutes.size(), 2u);
    EXPECT_EQ(column(list, 0), QStringList{"Z9"});

    // Without rows, or empty (what a failed query leaves): the list is empty, the records stay,
    // nothing is reported.
    for (const QByteArray& text : {dataSetText({}), QByteArray()}) {
        readers::RefreshRouteData(state, zeta);
        readers::RefreshRouteData(state, text);
        EXPECT_EQ(list.count(), 0);
        EXPECT_EQ(state.mRoutes.size(), 2u);
    }
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().isEmpty());
}

// Cells come in any order; a repeated one gives its later value, a missing one is empty for its
// row (not carried from the one before), and one whose name differs in case is another cell.
TEST_F(Readers, CellsAreFoundByTheirExactNameWhereverTheyStand) {
    readers::RefreshRouteData(state, dataSetText({{{"TOVAFacilityID", "1"},
                                                   {"Description", "Alpha"},
                                                   {"DeliveryRouteID", "7"},
                                                   {"Route", "A1"},
                                                   {"Description", "Omega"},
                                                   {"Facility", "North"}},
                                                  {{"Route", "B2"}, {"route", "x"}}}));
    EXPECT_EQ(state.mRoutes[1], (RouteUDT{"Omega", "North", "7", "A1", "1"}));
    EXPECT_EQ(state.mRoutes[2], (RouteUDT{"", "", "", "B2", ""}));
    // A row without a key carries the integer 0 as its tag.
    EXPECT_EQ(ui.lstRoute->tag(ui.lstRoute->itemAt(2)), QVariant(0));
}

TEST_F(Readers, OnlyTablesOnTheExactPathAreRows) {
    const QString tables = "<diffgr:diffgram xmlns:diffgr=\"urn:schemas-microsoft-com:xml-"
                           "diffgram-v1\"><NewDataSet><Table><Route>A</Route></Table>"
                           "</NewDataSet></diffgr:diffgram>";
    const std::pair<QString, int> cases[] = {
        {"<Root><DataSet>" + tables + "</DataSet></Root>", 1},
        {"<Root><DataSet>" + QString(tables).replace("diffgr:", "dg:") + "</DataSet></Root>", 0},
        {"<Root><DataSet><Table><Route>A</Route></Table></DataSet></Root>", 0},
        {"<root><DataSet>" + tables + "</DataSet></root>", 0},
        {"<Root><DataSet>" + tables + "</DataSet><DataSet>" + tables + "</DataSet></Root>", 2},
    };
    for (const auto& [text, rows] : cases) {
        readers::RefreshRouteData(state, text.toUtf8());
        EXPECT_EQ(ui.lstRoute->count(), rows) << text.toStdString();
    }
}

// A text that is not empty and does not parse is reported once, under its reader's name, with
// the parser's reason and where it stopped, and the list is left empty. Empty text, which a
// failed query leaves and reported, is not reported again. The facilities reader's report is its
// own box with the parser's reason, for empty text too.
TEST_F(Readers, TextThatDoesNotParseIsReportedOnceUnderItsReadersName) {
    const QByteArray whole = dataSetText({{{"CenterID", "1"},
                                           {"Route", "A1"},
                                           {"RouteName", "B1"},
                                           {"Description", "North"},
                                           {"TOVAFacilityID", "1"}}});
    using Read = void (*)(state::ComponentState&, readers::DataSetInput);
    const Read centers = [](state::ComponentState& s, readers::DataSetInput t) {
        readers::RefreshStowlineData(s, std::move(t), false);
    };
    const std::tuple<QString, Read, controls::ListView*> cases[] = {
        {"RefreshRouteData", readers::RefreshRouteData, ui.lstRoute},
        {"RefreshLocationData", readers::RefreshLocationData, ui.lstLocation},
        {"RefreshStowlineData", centers, ui.lstStowline},
        {"RefreshFacilityDrop", readers::RefreshFacilityDrop, nullptr}};
    for (const auto& [name, read, list] : cases) {
        const auto shown = [&, list = list] {
            return list != nullptr ? list->count() : ui.cboFacility3->listCount();
        };
        for (const QByteArray& text :
             {whole.chopped(7), QByteArray(whole).replace("North", "N & S"), QByteArray()}) {
            SCOPED_TRACE((name + ": " + text.right(24)).toStdString());
            read(state, whole);
            ASSERT_EQ(shown(), 1);
            boxes.clear();
            log.clear();
            read(state, text);
            EXPECT_EQ(shown(), 0);
            xml::XmlDocument document;
            const QString reason = document.loadForReading(QByteArray(text)).description();
            ASSERT_TRUE(reason.contains("offset")) << reason.toStdString();
            const bool facilities = list == nullptr;
            const bool reported = !facilities && !text.isEmpty();
            EXPECT_EQ(log.procedures(), reported ? QStringList{name} : QStringList());
            ASSERT_EQ(boxes.shown().size(), reported || facilities ? 1u : 0u);
            if (reported) {
                EXPECT_TRUE(log.entries()[0].contains(reason)) << log.entries()[0].toStdString();
            } else if (facilities) { // an information box with no title of its own
                EXPECT_EQ(boxes.shown()[0].prompt, reason);
                EXPECT_EQ(boxes.shown()[0].style, 64);
                EXPECT_TRUE(boxes.shown()[0].title.isEmpty());
            }
        }
    }
}

TEST_F(Readers, TheActiveFilterTakesOnlyTheExactStatusTwoOfTheLastAnswer) {
    std::vector<Row> centers;
    for (const char* status : {"1", "2", "02", "2", "2.0", " 2"}) {
        centers.push_back(center(QString::number(centers.size() + 1), status));
    }
    centers.push_back({{"CenterID", "7"}});
    readers::RefreshStowlineData(state, dataSetText(centers), true);
    controls::ListView& list = *ui.lstStowline;
    EXPECT_EQ(column(list, 0), (QStringList{"2", "4"}));

    // All centers, then the active ones again, from the same answer: the service is not asked.
    // A reference taken before is to a row the refilter removed, never to the center that now
    // stands at its place.
    const controls::ListItemRef fourth = list.itemAt(2);
    readers::RefreshStowlineData(state, false);
    EXPECT_EQ(list.count(), 7);
    EXPECT_THROW((void)list.text(fourth), StowlineError);
    readers::RefreshStowlineData(state, true);
    EXPECT_EQ(column(list, 0), (QStringList{"2", "4"}));
    readers::RefreshStowlineData(state, "<Root>", true);
    readers::RefreshStowlineData(state, false);
    EXPECT_EQ(list.count(), 0); // the last answer did not parse
}

// Texts that repeat within a column are converted once and shared; whatever the pattern of
// repeats, every center must still read exactly its own cells, in its record and in the list.
TEST_F(Readers, ManyCentersReadTheirOwnCellsWhetherTextsRepeatOrNot) {
    const QStringList names{"CenterID", "CenterName",      "CenterLocation", "CenterRoute",
                            "Facility", "DeliveryRouteID", "Route",          "StorageLocationID",
                            "Status",   "TOVAFacilityID"};
    std::vector<Row> rows;
    QList<QStringList> expected(1);
    for (int i = 1; i <= 700; ++i) {
        // Facility repeats throughout; the route repeats for the first rows and then never;
        // the bay never repeats at first and then always; the name is unique; the location
        // mixes a reference, CDATA and nested markup, which take the general way.
        const QString n = QString::number(i);
        const QString route = i <= 300 ? QString("R%1").arg(i % 4) : "Q" + n;
        QStringList raw{n,
                        "Center " + n,
                        "L&amp;" + QString::number(i % 5),
                        route + " desc",
                        QStringList{"North", "S\u00fcd", ""}[i % 3],
                        QString::number(i % 4),
                        route,
                        i <= 300 ? "B" + n : "B",
                        "2",
                        QString::number(i % 3)};
        QStringList read = raw;
        read[2] = "L&" + QString::number(i % 5);
        if (i % 7 == 0) {
            raw[2] = "<![CDATA[<c>]]>" + n;
            read[2] = "<c>" + n;
        } else if (i % 11 == 0) {
            raw[2] = "x<b>y</b>z";
            read[2] = "xyz";
        }
        rows.push_back(cells(names, raw));
        expected << read;
    }
    readers::RefreshStowlineData(state, dataSetText(rows), true);

    controls::ListView& list = *ui.lstStowline;
    ASSERT_EQ(list.count(), 700);
    for (int i = 1; i <= 700; ++i) {
        const auto c = list.tag(list.itemAt(i)).value<RouteAndLocationsUDT>();
        const QStringList e = expected.value(c.CenterID.toInt());
        ASSERT_EQ((QStringList{c.CenterID, c.Name, c.Location, c.RouteDescription, c.Facility,
                               c.DeliveryRouteID, c.Route, c.StorageLocationID, c.Status,
                               c.TOVAFacilityID}),
                  e);
        QStringList shown{list.text(list.itemAt(i))};
        for (int k = 1; k < 8; ++k) {
            shown << list.subItem(list.itemAt(i), k);
        }
        ASSERT_EQ(shown, (QStringList{e[0], e[1], e[3], e[2], e[4], e[9], e[6], e[5]}));
    }
}

TEST_F(Readers, FacilitiesFillTheThreeDropDownsAndChooseTheFirstForTheAssignmentPage) {
    readers::RefreshRouteData(state, dataSetText({route({"1", "A1", "Alpha", "North", "1"}),
                                                  route({"2", "B2", "Beta", "South", "2"})}));
    for (int load = 0; load < 2; ++load) { // a second load replaces, never duplicates
        readers::RefreshFacilityDrop(state,
                                     dataSetText({facility("2", "South"), facility("1", "North")}));
    }
    for (controls::DropDown* dropDown : {ui.cboFacility, ui.cboFacility2, ui.cboFacility3}) {
        EXPECT_EQ(entries(*dropDown), (QStringList{"South", "North"}));
        EXPECT_EQ(dropDown->itemData(0), 2);
        EXPECT_EQ(dropDown->itemData(1), 1);
        EXPECT_EQ(dropDown->listIndex(), dropDown == ui.cboFacility2 ? 0 : -1);
    }
    EXPECT_EQ(state.mSelectedFacilityID, "2");
    EXPECT_EQ(entries(*ui.cboRoute), QStringList{"Beta(B2)"});

    // Without rows the drop-downs are emptied and no facility is chosen: the pick lists stay.
    ui.cboRoute->addEntry("kept");
    readers::RefreshFacilityDrop(state, dataSetText({}));
    for (controls::DropDown* dropDown : {ui.cboFacility, ui.cboFacility2, ui.cboFacility3}) {
        EXPECT_EQ(dropDown->listCount(), 0);
    }
    EXPECT_EQ(entries(*ui.cboRoute), (QStringList{"Beta(B2)", "kept"}));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_TRUE(log.entries().isEmpty());

    // A facility without a key stops the reader after its first entry.
    readers::RefreshFacilityDrop(
        state, dataSetText({{{"Description", "Nowhere"}}, facility("1", "North")}));
    EXPECT_EQ(ui.cboFacility->listCount(), 1);
    EXPECT_EQ(ui.cboFacility2->listCount(), 0);
    EXPECT_EQ(log.procedures(), QStringList{"RefreshFacilityDrop"});
    EXPECT_EQ(boxes.errorBoxes(), 1);
}

TEST_F(Readers, PickListsOfferTheChosenFacilitysRecordsWithNumericKeys) {
    // No routes read yet: the route pick list is emptied, even with a facility chosen, and
    // nothing else about it changes.
    state.mSelectedFacilityID = "1";
    ui.cboRoute->addEntry("stale");
    readers::RefreshRouteComboBox(state);
    EXPECT_EQ(ui.cboRoute->listCount(), 0);
    EXPECT_FALSE(ui.cboRoute->locked());
    EXPECT_EQ(ui.cboRoute->backColour(), controls::buttonFaceColour());
    state.mSelectedFacilityID.clear();

    readers::RefreshLocationData(state, dataSetText({bay({"4", "B1", "Dock", "North", "1"}),
                                                     bay({"5", "B2", "Yard", "South", "2"}),
                                                     bay({"", "B3", "No key", "North", "1"}),
                                                     bay({"x", "B4", "Bad key", "North", "1"})}));
    readers::RefreshRouteData(state, dataSetText({route({"1", "A1", "Alpha", "North", " 1"}),
                                                  route({"2", "B2", "Beta", "North", "1"}),
                                                  route({"3", "C3", "Gamma", "North", "1"})}));
    // Without a chosen facility no route is offered, but every bay with a key is.
    EXPECT_EQ(ui.cboRoute->listCount(), 0);
    EXPECT_EQ(entries(*ui.cboLocation), (QStringList{"Dock(4)", "Yard(5)"}));

    state.mSelectedFacilityID = "1";
    readers::RefreshRouteComboBox(state);
    readers::RefreshStorageLocationComboBox(state);
    // " 1" is not "1"; records without a numeric key are not offered.
    EXPECT_EQ(entries(*ui.cboRoute), (QStringList{"Beta(B2)", "Gamma(C3)"}));
    EXPECT_EQ(ui.cboRoute->itemData(1), 3);
    EXPECT_EQ(ui.cboRoute->listIndex(), 0);
    EXPECT_FALSE(ui.cboRoute->locked());
    EXPECT_EQ(entries(*ui.cboLocation), QStringList{"Dock(4)"});

    // None found: a placeholder, locked (ShapedAssignmentTest shows it); found again: unlocked,
    // but still disabled until the page enables it.
    state.mSelectedFacilityID = "9";
    readers::RefreshRouteComboBox(state);
    ASSERT_TRUE(ui.cboRoute->locked());
    state.mSelectedFacilityID = "1";
    readers::RefreshRouteComboBox(state);
    EXPECT_FALSE(ui.cboRoute->locked());
    EXPECT_FALSE(ui.cboRoute->isEnabled());
    EXPECT_TRUE(log.entries().isEmpty());
}

// A reader whose text parsed refreshes its pick lists even without rows; one whose text did not
// parse does not. Either way its list is empty and its records stay for the validations.
TEST_F(Readers, OnlyAnAnswerThatParsesRefreshesThePickLists) {
    readers::RefreshLocationData(state, dataSetText({bay({"4", "B1", "Dock", "North", "1"})}));
    readers::RefreshStowlineData(state, dataSetText({center("7", "2")}), true);
    // Whether the route and the bay pick list still hold an entry put there before the read.
    const auto staleAfter = [&](const std::function<void()>& read) {
        for (controls::DropDown* pickList : {ui.cboRoute, ui.cboLocation}) {
            pickList->clearEntries();
            pickList->addEntry("stale");
        }
        read();
        return std::pair(entries(*ui.cboRoute) == QStringList{"stale"},
                         entries(*ui.cboLocation) == QStringList{"stale"});
    };
    EXPECT_EQ(staleAfter([&] { readers::RefreshLocationData(state, dataSetText({})); }),
              std::pair(true, false));
    EXPECT_EQ(staleAfter([&] { readers::RefreshLocationData(state, "<Root>"); }),
              std::pair(true, true));
    EXPECT_EQ(staleAfter([&] { readers::RefreshStowlineData(state, dataSetText({}), true); }),
              std::pair(false, false));
    EXPECT_EQ(staleAfter([&] { readers::RefreshStowlineData(state, "<Root>", true); }),
              std::pair(true, true));
    EXPECT_EQ(ui.lstLocation->count() + ui.lstStowline->count(), 0);
    EXPECT_EQ(state.mStorageLocations.size(), 2u);
}
