// The component as a host creates it: controls, columns and the state before any load.
#include "control/StowlinePrivate.h"
#include "platform/SystemColours.h"
#include "support/Recorders.h"

#include <stowline/Stowline.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QTest>
#include <gtest/gtest.h>

using namespace stowline;

namespace {

template <typename T> T* find(QWidget& root, const char* name) {
    T* widget = root.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QStringList headers(platform::ListView& list) {
    QStringList captions;
    for (int i = 0; i < list.columnCount(); ++i) {
        captions << list.headerItem()->text(i);
    }
    return captions;
}

} // namespace

TEST(ControlSurface, ColumnsFollowTheListWidthsAtCreation) {
    Stowline component;
    auto* lstRoute = find<platform::ListView>(component, "lstRoute");
    auto* lstLocation = find<platform::ListView>(component, "lstLocation");
    auto* lstStowline = find<platform::ListView>(component, "lstStowline");
    ASSERT_TRUE(lstRoute && lstLocation && lstStowline);

    EXPECT_EQ(lstRoute->widthTwips(), 9840);
    EXPECT_EQ(headers(*lstRoute), (QStringList{"Route", "Description", "Facility"}));
    EXPECT_EQ(lstRoute->columnWidthTwips(0), 2460);
    EXPECT_EQ(lstRoute->columnWidthTwips(1), 3500);

    EXPECT_EQ(headers(*lstLocation),
              (QStringList{"Storage Bay Name", "Description", "Facility", ""}));
    EXPECT_EQ(lstLocation->columnWidthTwips(0), 2460);
    EXPECT_EQ(lstLocation->columnWidthTwips(3), 0);
    EXPECT_TRUE(lstLocation->isColumnHidden(3));

    // "Route" stands twice: the shown route description and the hidden route code.
    EXPECT_EQ(headers(*lstStowline), (QStringList{"Center ID", "Center Name", "Route", "Location",
                                                  "Facility", "FacilityID", "Route", "RouteID"}));
    EXPECT_EQ(lstStowline->columnWidthTwips(0), 615);
    const std::vector<int> expected{615, 3000, 2500, 2000, 1250, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lstStowline->columnWidthTwips(i), expected[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(lstStowline->isColumnHidden(i), expected[static_cast<std::size_t>(i)] == 0) << i;
    }
}

TEST(ControlSurface, StartsOnTheStorageLocationPageWithEverythingLocked) {
    Stowline component;
    const QColor buttonFace = platform::buttonFaceColour();

    auto* tabs = find<QTabWidget>(component, "SSTab1");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(tabs->tabText(0), "Maintain Delivery Routes");
    EXPECT_EQ(tabs->tabText(1), "Maintain Storage Locations");
    EXPECT_EQ(tabs->tabText(2), "Assign Routes and Locations");

    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_FALSE(find<QFrame>(component, frame)->isEnabled()) << frame;
    }
    for (const char* box : {"txtRoute", "txtRouteDesc", "txtLocationID", "txtLocationDesc"}) {
        auto* text = find<platform::TextBox>(component, box);
        EXPECT_TRUE(text->locked()) << box;
        EXPECT_EQ(text->backColour(), buttonFace) << box;
        EXPECT_TRUE(text->text().isEmpty()) << box;
    }
    for (const char* drop : {"cboFacility3", "cboFacility"}) {
        auto* dropDown = find<platform::DropDown>(component, drop);
        EXPECT_TRUE(dropDown->locked()) << drop;
        EXPECT_EQ(dropDown->backColour(), buttonFace) << drop;
    }
    auto* cboFacility2 = find<platform::DropDown>(component, "cboFacility2");
    EXPECT_FALSE(cboFacility2->locked());
    EXPECT_EQ(cboFacility2->backColour(), QColor(Qt::white));
    for (const char* drop : {"cboRoute", "cboLocation"}) {
        auto* dropDown = find<platform::DropDown>(component, drop);
        EXPECT_FALSE(dropDown->isEnabled()) << drop;
        EXPECT_EQ(dropDown->backColour(), buttonFace) << drop;
    }

    const std::vector<std::pair<const char*, const char*>> buttons{
        {"cmdAddRoute", "Add Route"},
        {"cmdChangeRoute", "Change Route"},
        {"cmdDeleteRoute", "Delete Route"},
        {"cmdAddLocation", "Add Location"},
        {"cmdChangeLocation", "Change Location"},
        {"cmdDeleteLocation", "Delete Location"},
        {"cmdChangeStowline", "Change Route/Location"}};
    for (const auto& [name, caption] : buttons) {
        auto* button = find<QPushButton>(component, name);
        EXPECT_EQ(button->text(), caption);
        EXPECT_TRUE(button->isEnabled()) << name;
    }
    EXPECT_FALSE(find<QPushButton>(component, "cmdCancelStowline")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>(component, "optActiveCenters")->isChecked());
    EXPECT_FALSE(find<QRadioButton>(component, "optAllCenters")->isChecked());

    auto* hidden = find<platform::TextBox>(component, "txtErrorMessage");
    component.show();
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(hidden->text(), "This control is for error handling. So I set it to invisible.");

    for (const char* name : {"lblversion(1)", "lblversion(2)", "lblversion(3)"}) {
        EXPECT_EQ(find<QLabel>(component, name)->text(), "Version Number: 2.1.6") << name;
    }
}

TEST(ControlSurface, LayoutFontsAndDesignSize) {
    Stowline component;
    EXPECT_EQ(component.sizeHint(), QSize(688, 440));
    auto* lstRoute = find<platform::ListView>(component, "lstRoute");
    // Inside its frame at 105, 405 twips: 7, 27 pixels, 9840 x 4080 twips.
    EXPECT_EQ(lstRoute->geometry(), QRect(7, 27, 656, 272));
    EXPECT_EQ(lstRoute->parentWidget()->objectName(), "fraRouteList");
    // The bay buttons stand on the tab page, not in the edit frame.
    EXPECT_EQ(find<QPushButton>(component, "cmdAddLocation")->parentWidget(),
              find<QFrame>(component, "fraLocationEdit")->parentWidget());

    for (const char* bold : {"Label7", "Label8", "Label9", "Label11"}) {
        EXPECT_TRUE(find<QLabel>(component, bold)->font().bold()) << bold;
    }
    EXPECT_FALSE(find<QLabel>(component, "Label1")->font().bold());
    EXPECT_DOUBLE_EQ(find<QLabel>(component, "Label1")->font().pointSizeF(), 8.25);
    // A missing Tahoma falls back to a real sans family rather than drawing boxes.
    EXPECT_FALSE(QFontInfo(find<QLabel>(component, "Label1")->font()).family().isEmpty());
}

TEST(ControlSurface, MaximumLengthsLimitTypingButNotTextSetByCode) {
    Stowline component;
    auto* txtRoute = find<platform::TextBox>(component, "txtRoute");
    auto* txtLocationDesc = find<platform::TextBox>(component, "txtLocationDesc");
    txtRoute->setLocked(false);
    txtLocationDesc->setLocked(false);
    component.show();

    QTest::keyClicks(txtRoute, "ABCDEFG");
    EXPECT_EQ(txtRoute->text(), "AB");
    // Typing on past the limit, and pasting past it, both stop exactly at it.
    QTest::keyClicks(txtLocationDesc, QString(60, QLatin1Char('d')));
    EXPECT_EQ(txtLocationDesc->text(), QString(50, QLatin1Char('d')));
    txtLocationDesc->clear();
    QApplication::clipboard()->setText(QString(60, QLatin1Char('p')));
    QTest::keySequence(txtLocationDesc, QKeySequence::Paste);
    EXPECT_EQ(txtLocationDesc->text(), QString(50, QLatin1Char('p')));
    QTest::keySequence(txtLocationDesc, QKeySequence::Paste);
    EXPECT_EQ(txtLocationDesc->text().size(), 50);
    txtRoute->clear();
    QTest::keySequence(txtRoute, QKeySequence::Paste);
    EXPECT_EQ(txtRoute->text(), "pp");

    // A longer value from the service is shown and kept whole; typing cannot grow it.
    const QString fromService(60, QLatin1Char('x'));
    txtLocationDesc->setText(fromService);
    EXPECT_EQ(txtLocationDesc->text(), fromService);
    txtLocationDesc->end(false);
    QTest::keyClicks(txtLocationDesc, "y");
    EXPECT_EQ(txtLocationDesc->text(), fromService);
    QTest::keyClick(txtLocationDesc, Qt::Key_Backspace);
    EXPECT_EQ(txtLocationDesc->text().size(), 59);
}

TEST(ControlSurface, SaveDataChangesNothingAndPublicMethodsAreInvokableByName) {
    test::MessageBoxRecorder boxes;
    Stowline component;
    component.SaveData();
    EXPECT_TRUE(boxes.shown().empty());

    QString unwrapped;
    const QString answer = QStringLiteral(
        "<GetRelativeDataResponse xmlns=\"http://tempuri.org/TOVAStowlines/Service1\">"
        "<GetRelativeDataResult><Root/></GetRelativeDataResult></GetRelativeDataResponse>");
    ASSERT_TRUE(QMetaObject::invokeMethod(&component, "ReplaceGetRelativeDataSOAPTags",
                                          Q_RETURN_ARG(QString, unwrapped),
                                          Q_ARG(QString, answer)));
    EXPECT_EQ(unwrapped, "<Root/>");
    EXPECT_TRUE(QMetaObject::invokeMethod(&component, "SaveData"));
}
