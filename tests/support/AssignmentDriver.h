#pragma once

// The assignment page loaded from a stand-in server, every message box answered and recorded,
// and the operator's gestures on it: clicks on centers, headers, buttons and option buttons,
// and picking drop-down entries with the keyboard.
#include "support/PageDriver.h"

#include <QRadioButton>
#include <QTabBar>

namespace stowline::test {

class AssignmentPageTest : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        list = control<controls::ListView>("lstStowline");
        facility = control<controls::DropDown>("cboFacility2");
        route = control<controls::DropDown>("cboRoute");
        location = control<controls::DropDown>("cboLocation");
        change = control<QPushButton>("cmdChangeStowline");
        cancel = control<QPushButton>("cmdCancelStowline");
        activeCenters = control<QRadioButton>("optActiveCenters");
        allCenters = control<QRadioButton>("optAllCenters");
        auto* tabs = control<QTabWidget>("SSTab1");
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        ASSERT_EQ(tabs->currentIndex(), 2);
    }

    // "facility/route/bay" of a center as the service holds it; an unassigned part is empty.
    QString assignment(int centerId) const {
        return server->queryValue(
            QStringLiteral("SELECT facility_id || '/' || ifnull(route_id, '') || '/' ||"
                           " ifnull(storage_location_id, '') FROM centers WHERE center_id = %1")
                .arg(centerId));
    }

    // Opens the drop-down with the mouse and clicks the entry in its list.
    void clickEntry(controls::DropDown* dropDown, const QString& text) {
        QTest::mouseClick(dropDown, Qt::LeftButton);
        QAbstractItemView* view = dropDown->view();
        ASSERT_TRUE(view->isVisible()) << text.toStdString();
        const QModelIndex entry = view->model()->index(dropDown->findText(text), 0);
        view->scrollTo(entry);
        // The list takes a release this soon after it opened for the end of the opening click.
        QTest::qWait(QApplication::doubleClickInterval());
        const QPoint at = view->visualRect(entry).center();
        QTest::mouseMove(view->viewport(), at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        ASSERT_EQ(shown(dropDown), text);
    }

    int selectedPosition() const { return test::selectedPosition(*list); }

    // The selected row: center ID, then sub-items 1 to 7.
    QStringList selectedRow() const {
        const controls::ListItemRef selected = list->selectedItem();
        if (selected.isNothing()) {
            return {};
        }
        QStringList row{list->text(selected)};
        for (int i = 1; i <= 7; ++i) {
            row << list->subItem(selected, i);
        }
        return row;
    }

    void clickCenter(const char* centerId) {
        const int position = test::positionOf(*list, qs(centerId));
        ASSERT_GT(position, 0) << centerId;
        test::clickRow(*list, position);
        ASSERT_EQ(selectedPosition(), position);
    }

    static QString shown(const controls::DropDown* dropDown) {
        const int index = dropDown->listIndex();
        return index < 0 ? QString() : dropDown->entryText(index);
    }

    // Idle: the button reads "Change Route/Location", Cancel is off and both pick lists are
    // disabled on the button face. Edit: "Update", Cancel on, pick lists enabled on the window
    // background.
    void expectMode(bool edit) const {
        ASSERT_NE(controls::windowBackgroundColour(), controls::buttonFaceColour());
        EXPECT_EQ(change->text(), edit ? qs("Update") : qs("Change Route/Location"));
        EXPECT_TRUE(change->isEnabled());
        EXPECT_EQ(cancel->isEnabled(), edit);
        for (const controls::DropDown* pickList : {route, location}) {
            EXPECT_EQ(pickList->isEnabled(), edit) << pickList->objectName().toStdString();
            EXPECT_EQ(pickList->backColour(),
                      edit ? controls::windowBackgroundColour() : controls::buttonFaceColour())
                << pickList->objectName().toStdString();
        }
        // Neither mode ever disables the list, the facility or the filter.
        for (const QWidget* always :
             std::initializer_list<const QWidget*>{list, facility, activeCenters, allCenters}) {
            EXPECT_TRUE(always->isEnabled()) << always->objectName().toStdString();
        }
    }

    controls::ListView* list = nullptr;
    controls::DropDown* facility = nullptr;
    controls::DropDown* route = nullptr;
    controls::DropDown* location = nullptr;
    QPushButton* change = nullptr;
    QPushButton* cancel = nullptr;
    QRadioButton* activeCenters = nullptr;
    QRadioButton* allCenters = nullptr;
};

} // namespace stowline::test
