// The component as a host creates it: controls, columns and the state before any load.
#include "support/PageDriver.h"

#include <QLabel>
#include <QTabBar>

#include <string_view>

using namespace stowline;
using test::child;

TEST(ControlSurface, StartsOnTheStorageLocationPageWithEverythingLocked) {
    Stowline component;
    const QColor buttonFace = controls::buttonFaceColour();
    auto* tabs = child<QTabWidget>(component, "SSTab1");
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
              (QStringList{"Maintain Delivery Routes", "Maintain Storage Locations",
                           "Assign Routes and Locations"}));
    for (const char* frame : {"fraRouteList", "fraLocationList", "fraStowlineList"}) {
        EXPECT_FALSE(child<QFrame>(component, frame)->isEnabled()) << frame;
    }
    for (const char* name : {"txtRoute", "txtRouteDesc", "txtLocationID", "txtLocationDesc"}) {
        auto* box = child<controls::TextBox>(component, name);
        EXPECT_TRUE(box->locked() && box->text().isEmpty()) << name;
        EXPECT_EQ(box->backColour(), buttonFace) << name;
    }
    // The other drop-downs, the buttons but for Delete, and the options are idle pages' after a
    // load, as they start (MaintenancePageTest's and AssignmentPageTest's expectMode, ReadersTests,
    // the centers counted): a wrong start fails there. The text boxes' look is not: a click on a
    // row sets it again.
    auto* facility = child<controls::DropDown>(component, "cboFacility2");
    EXPECT_TRUE(!facility->locked() && facility->isEnabledTo(facility->parentWidget()));
    EXPECT_EQ(facility->backColour(), QColor(Qt::white));
    EXPECT_EQ(child<QPushButton>(component, "cmdDeleteRoute")->text(), "Delete Route");
    EXPECT_EQ(child<QPushButton>(component, "cmdDeleteLocation")->text(), "Delete Location");
}

// Every caption is drawn whole and stands clear of every other control on its page, at the
// font this machine gives for the design font and at a larger one the host sets.
void expectCaptionsWholeAndClear(Stowline& component) {
    auto* tabs = child<QTabWidget>(component, "SSTab1");
    const auto captionOf = [](const QWidget* w) {
        return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w)
                   ? w->property("text").toString()
                   : QString();
    };
    const auto inComponent = [&](const QWidget* w) {
        return QRect(w->mapTo(&component, QPoint(0, 0)), w->size());
    };
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QApplication::processEvents();
        // The controls: what stands on the page or in one of its frames.
        QList<QWidget*> controls;
        for (QWidget* w : tabs->widget(page)->findChildren<QWidget*>()) {
            const QWidget* parent = w->parentWidget();
            if (w->isVisible() && (parent == tabs->widget(page) ||
                                   parent->metaObject() == &QFrame::staticMetaObject)) {
                controls << w;
            }
        }
        for (QWidget* caption : controls) {
            const QString text = captionOf(caption);
            if (text.isEmpty()) {
                continue;
            }
            EXPECT_LE(caption->sizeHint().width(), caption->width()) << text.toStdString();
            for (QWidget* other : controls) {
                if (other != caption && !other->isAncestorOf(caption) &&
                    other->metaObject() != &QFrame::staticMetaObject) {
                    EXPECT_FALSE(inComponent(caption).intersects(inComponent(other)))
                        << text.toStdString() << " runs under "
                        << other->objectName().toStdString();
                }
            }
        }
    }
}

TEST(ControlSurface, CaptionsShowWholeAndCoverNothing) {
    Stowline component;
    // The counts beside the filter boxes at their widest: a full generated operation.
    for (const char* count :
         {"lblRouteFilterCount", "lblLocationFilterCount", "lblCenterFilterCount"}) {
        child<QLabel>(component, count)->setText(QStringLiteral("26,069 of 26,069"));
    }
    component.show();
    expectCaptionsWholeAndClear(component);
    // The host's larger font reaches the options and version labels; they still fit.
    component.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    expectCaptionsWholeAndClear(component);
}

TEST(ControlSurface, TheDesignFontOnlyWhereTheDesignGivesIt) {
    Stowline component;
    const QFont host(QStringLiteral("DejaVu Serif"), 11);
    component.setFont(host);
    const auto font = [&](const char* name) { return child<QWidget>(component, name)->font(); };
    for (const char* own :
         {"txtRoute", "txtRouteDesc", "txtLocationID", "txtLocationDesc", "cboFacility",
          "cboFacility2", "cboFacility3", "cboRoute", "cboLocation", "optActiveCenters",
          "optAllCenters", "lblversion(1)", "lblversion(2)", "lblversion(3)", "lstStowline",
          "txtCenterFilter", "lblRouteFilterCount"}) {
        EXPECT_EQ(font(own).family(), host.family()) << own;
        EXPECT_EQ(font(own).pointSize(), 11) << own;
    }
    for (const char* design : {"Label1", "Label9", "Label11", "cmdAddRoute", "cmdChangeStowline",
                               "cmdDeleteLocation", "lstRoute", "lstLocation"}) {
        EXPECT_EQ(font(design).family(), "Tahoma") << design;
        EXPECT_DOUBLE_EQ(font(design).pointSizeF(), 8.25) << design;
    }
    // The list captions are bold; the field captions, the buttons and the lists are not.
    for (const std::string_view name : {"Label1", "Label7", "Label8", "Label9", "Label11",
                                        "cmdAddRoute", "cmdDeleteLocation", "lstRoute"}) {
        EXPECT_EQ(font(name.data()).bold(), name.starts_with("Label") && name != "Label1") << name;
    }
    EXPECT_EQ(child<QTabWidget>(component, "SSTab1")->tabBar()->font().family(), "Tahoma");
}

// The facility boxes have the design's editable style; a route and a bay are only picked.
TEST(ControlSurface, OnlyTheFacilityDropDownsHaveAnEditPart) {
    Stowline component;
    for (const char* name :
         {"cboFacility", "cboFacility2", "cboFacility3", "cboRoute", "cboLocation"}) {
        EXPECT_EQ(child<controls::DropDown>(component, name)->isEditable(),
                  QByteArray(name).contains("Facility"))
            << name;
    }
}

TEST(ControlSurface, MaximumLengthsLimitTypingButNotTextSetByCode) {
    Stowline component;
    auto* txtRoute = child<controls::TextBox>(component, "txtRoute");
    auto* txtLocationDesc = child<controls::TextBox>(component, "txtLocationDesc");
    txtRoute->setLocked(false);
    txtLocationDesc->setLocked(false);
    component.show();

    // Typing stops exactly at the limit (pasting: TextBoxTests).
    QTest::keyClicks(txtRoute, "ABCDEFG");
    EXPECT_EQ(txtRoute->text(), "AB");
    QTest::keyClicks(txtLocationDesc, QString(60, QLatin1Char('d')));
    EXPECT_EQ(txtLocationDesc->text(), QString(50, QLatin1Char('d')));

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
