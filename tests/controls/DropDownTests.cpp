// The drop-down's entry indexes as the pages use them: one outside the entries is an error the
// caller's catch reports, -1 leaves no entry chosen, and choosing another entry, the first one
// too, runs the click handling once.
#include "controls/DropDown.h"
#include "failures/StowlineError.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

namespace stowline::controls {
namespace {

bool refused(const std::function<void()>& use) {
    try {
        use();
    } catch (const StowlineError& e) {
        return e.info().Number == error_number::InvalidPropertyValue;
    }
    return false;
}

TEST(DropDown, IndexesBeyondTheEntriesAreRefusedAndEachNewChoiceRunsTheClickHandling) {
    DropDown dropDown(false);
    dropDown.addEntries({"North", "South"}, {1, 2});
    int clicks = 0;
    dropDown.onClick = [&clicks] { ++clicks; };
    for (const int outside : {-1, 2}) {
        EXPECT_TRUE(refused([&] { (void)dropDown.entryText(outside); })) << outside;
        EXPECT_TRUE(refused([&] { (void)dropDown.itemData(outside); })) << outside;
        EXPECT_TRUE(refused([&] { dropDown.setItemData(outside, 7); })) << outside;
    }
    for (const int outside : {-2, 2}) {
        EXPECT_TRUE(refused([&] { dropDown.setListIndex(outside); })) << outside;
    }
    EXPECT_EQ(dropDown.listIndex(), -1);
    EXPECT_EQ(clicks, 0);

    dropDown.setListIndex(0);
    dropDown.setListIndex(0); // already chosen: nothing runs
    EXPECT_EQ(clicks, 1);
    dropDown.setListIndex(1);
    dropDown.setListIndex(-1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(dropDown.listIndex(), -1);
    EXPECT_EQ(dropDown.entryText(1), "South");
    EXPECT_EQ(dropDown.itemData(1), 2);
}

} // namespace
} // namespace stowline::controls
