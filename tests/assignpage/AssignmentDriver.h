#pragma once

// The assignment page loaded from a stand-in server, every message box answered and recorded,
// and the operator's gestures on it: clicks on centers, headers, buttons and option buttons,
// and picking drop-down entries with the keyboard.
#include "platform/DropDown.h"
#include "platform/ListView.h"
#include "platform/SystemColours.h"
#include "service/ServiceClient.h"
#include "support/QtPrinters.h"
#include "support/Recorders.h"
#include "support/StandInServer.h"

#include <stowline/Stowline.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace stowline::test {

inline QString qs(const char* text) {
    return QString::fromUtf8(text);
}

class AssignmentPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<StandInServer>();
        seed();
        component = std::make_unique<Stowline>();
        component->show();
        component->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(component.get()));
        list = control<platform::ListView>("lstStowline");
        facility = control<platform::DropDown>("cboFacility2");
        route = control<platform::DropDown>("cboRoute");
        location = control<platform::DropDown>("cboLocation");
        change = control<QPushButton>("cmdChangeStowline");
        cancel = control<QPushButton>("cmdCancelStowline");
        activeCenters = control<QRadioButton>("optActiveCenters");
        allCenters = control<QRadioButton>("optAllCenters");
        reload();
        auto* tabs = control<QTabWidget>("SSTab1");
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        ASSERT_EQ(tabs->currentIndex(), 2);
    }

    void TearDown() override {
        component.reset();
        server.reset();
    }

    // Rows the service must hold before the component first loads.
    virtual void seed() {}

    // LoadData as the host calls it; the recorders start empty afterwards.
    void reload() {
        component->LoadData(server->serverName());
        ASSERT_TRUE(log.entries().isEmpty()) << log.entries().join(qs("\n")).toStdString();
        boxes.clear();
        log.clear();
    }

    // Another client of the same service.
    std::unique_ptr<service::ServiceClient> otherClient() const {
        auto client = std::make_unique<service::ServiceClient>();
        client->setServerName(server->serverName());
        return client;
    }

    template <typename T> T* control(const char* name) const {
        T* found = component->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // "facility/route/bay" of a center as the service holds it; an unassigned part is empty.
    QString assignment(int centerId) const {
        return server->queryValue(
            QStringLiteral("SELECT facility_id || '/' || ifnull(route_id, '') || '/' ||"
                           " ifnull(storage_location_id, '') FROM centers WHERE center_id = %1")
                .arg(centerId));
    }

    int positionOf(const QString& centerId) const {
        for (int i = 1; i <= list->count(); ++i) {
            if (list->text(list->itemAt(i)) == centerId) {
                return i;
            }
        }
        return 0;
    }

    int selectedPosition() const {
        const platform::ListItemRef selected = list->selectedItem();
        return selected.isNothing() ? 0 : list->indexOf(selected);
    }

    // The selected row: center ID, then sub-items 1 to 7.
    QStringList selectedRow() const {
        const platform::ListItemRef selected = list->selectedItem();
        if (selected.isNothing()) {
            return {};
        }
        QStringList row{list->text(selected)};
        for (int i = 1; i <= 7; ++i) {
            row << list->subItem(selected, i);
        }
        return row;
    }

    void clickRow(int position) {
        QTreeWidgetItem* item = list->resolve(list->itemAt(position));
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }

    void clickCenter(const char* centerId) {
        const int position = positionOf(qs(centerId));
        ASSERT_GT(position, 0) << centerId;
        clickRow(position);
        ASSERT_EQ(selectedPosition(), position);
    }

    void clickHeader(int column1Based) {
        QHeaderView* header = list->header();
        const int section = column1Based - 1;
        const QPoint centre(header->sectionViewportPosition(section) +
                                header->sectionSize(section) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
    }

    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Walks the drop-down to the entry with the arrow keys, as the operator can.
    static void pickEntry(platform::DropDown* dropDown, const QString& text) {
        const int target = dropDown->findText(text, Qt::MatchExactly);
        ASSERT_GE(target, 0) << text.toStdString();
        for (int step = 0; step < 2 * dropDown->count() && dropDown->listIndex() != target;
             ++step) {
            QTest::keyClick(dropDown, dropDown->listIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_EQ(dropDown->listIndex(), target);
    }

    static QString shown(const platform::DropDown* dropDown) {
        const int index = dropDown->listIndex();
        return index < 0 ? QString() : dropDown->entryText(index);
    }

    static QStringList entries(const platform::DropDown* dropDown) {
        QStringList texts;
        for (int i = 0; i < dropDown->listCount(); ++i) {
            texts << dropDown->entryText(i);
        }
        return texts;
    }

    bool hasFocus(QWidget* widget) {
        component->activateWindow();
        return QTest::qWaitForWindowActive(component.get()) && widget->hasFocus();
    }

    // Idle: the button reads "Change Route/Location", Cancel is off and both pick lists are
    // disabled on the button face. Edit: "Update", Cancel on, pick lists enabled on the window
    // background.
    void expectMode(bool edit) const {
        ASSERT_NE(platform::windowBackgroundColour(), platform::buttonFaceColour());
        EXPECT_EQ(change->text(), edit ? qs("Update") : qs("Change Route/Location"));
        EXPECT_TRUE(change->isEnabled());
        EXPECT_EQ(cancel->isEnabled(), edit);
        for (const platform::DropDown* pickList : {route, location}) {
            EXPECT_EQ(pickList->isEnabled(), edit) << pickList->objectName().toStdString();
            EXPECT_EQ(pickList->backColour(),
                      edit ? platform::windowBackgroundColour() : platform::buttonFaceColour())
                << pickList->objectName().toStdString();
        }
        // Neither mode ever disables the list, the facility or the filter.
        for (const QWidget* always :
             std::initializer_list<const QWidget*>{list, facility, activeCenters, allCenters}) {
            EXPECT_TRUE(always->isEnabled()) << always->objectName().toStdString();
        }
    }

    MessageBoxRecorder boxes;
    EventLogRecorder log;
    std::unique_ptr<StandInServer> server;
    std::unique_ptr<Stowline> component;

    platform::ListView* list = nullptr;
    platform::DropDown* facility = nullptr;
    platform::DropDown* route = nullptr;
    platform::DropDown* location = nullptr;
    QPushButton* change = nullptr;
    QPushButton* cancel = nullptr;
    QRadioButton* activeCenters = nullptr;
    QRadioButton* allCenters = nullptr;
};

} // namespace stowline::test
