// The filter box over each list, as an operator uses it: the rows it shows and counts, the row the
// page then takes as selected, and what a save and a reload make of it (Export: ListCommandsTests),
// against the demo operation of the stand-in service.
#include "pages/ListFilter.h"
#include "support/PageDriver.h"

#include <QLabel>
#include <QRadioButton>

using namespace stowline;
using namespace stowline::test;

namespace {

// A page: its tab, the stem of its filter box's and count's names (txtRouteFilter,
// lblRouteFilterCount) and of its add button's, its list, its change button and the box that
// shows the selected row's name.
struct Page {
    int tab;
    const char *stem, *list, *change, *nameBox;
};
const Page Routes{0, "Route", "lstRoute", "cmdChangeRoute", "txtRoute"};
const Page Locations{1, "Location", "lstLocation", "cmdChangeLocation", "txtLocationID"};
const Page Centers{2, "Center", "lstStowline", "cmdChangeStowline", nullptr};

class ListFilterTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        for (const Page* page : {&Routes, &Locations, &Centers}) {
            ASSERT_NE(box(*page), nullptr);
            ASSERT_NE(named<QLabel>("lbl", *page, "FilterCount"), nullptr);
        }
    }

    template <typename T> T* named(const char* prefix, const Page& page, const char* suffix) {
        return control<T>((prefix + std::string(page.stem) + suffix).c_str());
    }
    controls::ListView* list(const Page& page) { return control<controls::ListView>(page.list); }
    QLineEdit* box(const Page& page) { return named<QLineEdit>("txt", page, "Filter"); }
    QPushButton* add(const Page& page) { return named<QPushButton>("cmdAdd", page, ""); }

    // Types into the page's filter box as the operator does, after emptying it.
    void filter(const Page& page, const char* typed) {
        showPage(page.tab);
        retype(box(page), qs(typed));
    }

    // The first column of the rows shown, joined by "|", and the count beside the box.
    QString shown(const Page& page) { return column(*list(page), 0).join(QLatin1Char('|')); }
    QString count(const Page& page) { return named<QLabel>("lbl", page, "FilterCount")->text(); }
};

// Every word typed appears in a shown column of each row shown, case and accents ignored; the
// hidden key columns (and a column dragged to no width) are not searched.
TEST_F(ListFilterTest, ShowsTheRowsHoldingEveryWordInAShownColumnAndCountsThem) {
    const struct {
        const Page& page;
        const char *typed, *shown, *count;
    } cases[] = {
        {Routes, "harbour", "H1|H2|H3|H4", "4 of 12"},      // the facility column
        {Routes, "HARBOUR front", "H1", "1 of 12"},         // case, two columns
        {Routes, "  north   0 ", "01|02|03|10", "4 of 12"}, // blanks around the words
        {Routes, "vallee", "E2", "1 of 12"},                // "Vallée du fleuve"
        {Routes, "ile village", "E4", "1 of 12"},           // "Îles & villages"
        {Locations, "e-0 CONGELE", "É-03", "1 of 15"},      // "É-03", "Congelé"
        {Locations, "d'exp", "Q-É", "1 of 15"},             // an apostrophe, unfiltered here
        {Centers, "elise", "1027", "1 of 30"},              // "Boulangerie Élise"
        {Centers, "staging fish", "1015", "1 of 30"},       // bay and name
        {Centers, "h1", "", "0 of 30"},                     // a route code: hidden column
        {Centers, "", "", "30 of 30"},                      // all: checked by count only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.page.list) + " \"" + c.typed + '"');
        filter(c.page, c.typed);
        if (*c.typed != '\0') {
            EXPECT_EQ(shown(c.page), qs(c.shown));
        }
        EXPECT_EQ(count(c.page), qs(c.count));
    }

    // The facility column dragged to no width is not searched any more.
    list(Centers)->header()->resizeSection(4, 0);
    filter(Centers, "emilie");
    EXPECT_EQ(count(Centers), "0 of 30");
    list(Centers)->header()->resizeSection(4, 83);
    filter(Centers, "emilie ");
    EXPECT_EQ(count(Centers), "11 of 30");

    // With the Active and All options: the inactive "Brookside Café" is listed with All only.
    filter(Centers, "cafe");
    EXPECT_EQ(shown(Centers), "1032");
    click(control<QRadioButton>("optAllCenters"));
    EXPECT_EQ(shown(Centers), "1012|1032");
    EXPECT_EQ(count(Centers), "2 of 40");
    EXPECT_TRUE(log.entries().isEmpty()) << log.entries().join(qs("\n")).toStdString();
}

TEST_F(ListFilterTest, CountsInTheLocalesDigitGrouping) {
    const QLocale before;
    QLocale::setDefault(QLocale::c()); // as Debian's C.UTF-8: counted as in English
    EXPECT_EQ(pages::rowsShownText(12, 26069), "12 of 26,069");
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(pages::rowsShownText(1234, 26069), "1.234 of 26.069");
    EXPECT_EQ(pages::rowsShownText(0, 0), ""); // nothing listed yet
    QLocale::setDefault(before);
}

// Hiding the selected row leaves nothing selected and the page in its nothing-selected state, so
// that Change asks for a row; a row the filter keeps stays selected, and Change changes it.
TEST_F(ListFilterTest, AHiddenRowIsNeverTheSelectedOne) {
    const struct {
        const Page& page;
        const char *row, *typed;
        bool kept;
    } cases[] = {
        {Routes, "H2", "harbour", true},   {Routes, "H2", "north", false},
        {Locations, "Q-01", "cage", true}, {Locations, "Q-01", "ambient", false},
        {Centers, "1027", "elise", true},  {Centers, "1015", "elise", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.page.list) + " " + c.row + " \"" + c.typed + '"');
        filter(c.page, "");
        controls::ListView& rows = *list(c.page);
        clickRow(rows, positionOf(rows, qs(c.row)));
        filter(c.page, c.typed);
        EXPECT_EQ(selectedPosition(rows) != 0, c.kept);
        if (c.page.nameBox != nullptr) {
            EXPECT_EQ(control<QLineEdit>(c.page.nameBox)->text(), c.kept ? qs(c.row) : QString());
        }
        boxes.clear();
        click(control<QPushButton>(c.page.change));
        // With nothing selected, the page asks for a row ("Please select ...").
        EXPECT_EQ(boxes.shown().size(), c.kept ? 0u : 1u);
        EXPECT_TRUE(c.kept || boxes.shown().back().title == "Information Required");
        if (c.kept) { // the row was there to change: back to idle
            click(control<QPushButton>(c.page.nameBox == nullptr ? "cmdCancelStowline"
                                                                 : c.page.change));
        }
    }
}

// The page selects a saved row by its description: when the filter hides it, the filter is
// cleared so that the row shows. An update selects by position among the rows shown, and the
// filter stays.
TEST_F(ListFilterTest, ASaveSelectsItsRowEvenWhereTheFilterHidItAndAnUpdateKeepsTheFilter) {
    for (const Page* page : {&Routes, &Locations}) {
        SCOPED_TRACE(page->list);
        filter(*page, "harbour");
        const int harbourRows = list(*page)->count();
        click(add(*page));
        QTest::keyClicks(control<QLineEdit>(page->nameBox), "Z1");
        QTest::keyClicks(control<QLineEdit>(page->nameBox == Routes.nameBox ? "txtRouteDesc"
                                                                            : "txtLocationDesc"),
                         "Night run");
        click(add(*page));
        EXPECT_EQ(box(*page)->text(), QString());
        EXPECT_EQ(list(*page)->count(), list(*page)->totalCount());
        ASSERT_GT(selectedPosition(*list(*page)), 0);
        EXPECT_EQ(row(*list(*page), selectedPosition(*list(*page))).mid(0, 2),
                  (QStringList{"Z1", "Night run"}));

        filter(*page, "harbour");
        clickRow(*list(*page), 2);
        const QString second = list(*page)->text(list(*page)->itemAt(2));
        click(control<QPushButton>(page->change));
        click(add(*page)); // an untouched update
        EXPECT_EQ(box(*page)->text(), "harbour");
        EXPECT_EQ(list(*page)->count(), harbourRows);
        EXPECT_EQ(selectedPosition(*list(*page)), 2);
        EXPECT_EQ(list(*page)->text(list(*page)->selectedItem()), second);
    }
}

// The filter and the sort stay through a reload (F5 in the demo host). A click on the sort
// column flips the order (ListCommandsTests); on another, that column becomes the key and the
// order stays.
TEST_F(ListFilterTest, TheFilterAndTheSortStayThroughAReload) {
    filter(Routes, "harbour");
    clickHeader(*list(Routes), 1); // descending
    clickHeader(*list(Routes), 2); // by description, still descending
    reload();
    EXPECT_EQ(box(Routes)->text(), "harbour");
    EXPECT_EQ(shown(Routes), "H3|H1|H4|H2");
    EXPECT_EQ(count(Routes), "4 of 12");
}

} // namespace
