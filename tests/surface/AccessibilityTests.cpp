// Screen-reader names and keyboard tab order.
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "widget/StowlinePrivate.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace stowline;

namespace {

class Accessibility : public ::testing::Test {
protected:
    Accessibility() : component(&owner) { component.UserControl_Initialize(); }

    // The page's tab stops in the order Tab visits them, from the page itself: the chain is a
    // ring, so only starting at the page shows which control the page enters first.
    QStringList tabWalk(int pageIndex) {
        QWidget* page = component.state.ui.SSTab1->widget(pageIndex);
        QStringList names;
        for (QWidget* w = page->nextInFocusChain(); w != page && names.size() < 50;
             w = w->nextInFocusChain()) {
            // Unnamed stops are the line edits inside editable drop-downs.
            if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0 && !w->isHidden() &&
                !w->objectName().isEmpty()) {
                names << w->objectName();
            }
        }
        return names;
    }

    test::MessageBoxRecorder boxes;
    QWidget owner;
    StowlinePrivate component;
};

TEST_F(Accessibility, FieldsAreNamedAfterTheirLabelsAndTabFollowsEachPageInReadingOrder) {
    const char* const cases[][3] = {
        {"lstRoute", "Label7", "List of Delivery Routes"},
        {"txtRoute", "Label1", "Route"},
        {"txtRouteDesc", "Label2", "Description"},
        {"cboFacility3", "Label12", "Facility"},
        {"lstLocation", "Label8", "List of Storage Locations"},
        {"txtLocationID", "Label3", "Storage Bay Name"},
        {"txtLocationDesc", "Label4", "Description"},
        {"cboFacility", "Label10", "Facility"},
        {"lstStowline", "Label9", "List of Centers"},
        {"cboFacility2", "Label11", "Facility"},
        {"cboRoute", "Label5", "Route"},
        {"cboLocation", "Label6", "Storage Location"},
        {"txtRouteFilter", nullptr, "Filter"},
        {"txtLocationFilter", nullptr, "Filter"},
        {"txtCenterFilter", nullptr, "Filter"},
    };
    for (const auto& [fieldName, labelName, name] : cases) {
        auto* field = owner.findChild<QWidget*>(fieldName);
        ASSERT_TRUE(field) << fieldName;
        EXPECT_EQ(field->accessibleName(), name) << fieldName;
        if (labelName != nullptr) {
            auto* label = owner.findChild<QLabel*>(labelName);
            ASSERT_TRUE(label) << labelName;
            EXPECT_EQ(label->buddy(), field) << labelName;
        }
    }
    // The captions themselves stay as designed.
    EXPECT_EQ(owner.findChild<QLabel*>("Label3")->text(), "Storage Bay Name:");

    // The filter boxes stand above their lists, on the centers' heading line after the options.
    EXPECT_EQ(tabWalk(0),
              (QStringList{"txtRouteFilter", "lstRoute", "txtRoute", "txtRouteDesc", "cboFacility3",
                           "cmdAddRoute", "cmdChangeRoute", "cmdDeleteRoute"}));
    EXPECT_EQ(tabWalk(1), (QStringList{"txtLocationFilter", "lstLocation", "txtLocationID",
                                       "txtLocationDesc", "cboFacility", "cmdAddLocation",
                                       "cmdChangeLocation", "cmdDeleteLocation"}));
    EXPECT_EQ(tabWalk(2), (QStringList{"optActiveCenters", "optAllCenters", "txtCenterFilter",
                                       "cboFacility2", "lstStowline", "cboRoute", "cboLocation",
                                       "cmdChangeStowline", "cmdCancelStowline"}));
}

} // namespace
