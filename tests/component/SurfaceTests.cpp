// The component as a host creates it: controls, columns and the state before any load.
#include "platform/SystemColours.h"
#include "support/Recorders.h"
#include "widget/StowlinePrivate.h"

#include <stowline/Stowline.h>

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QRadioButton>
#include <QTabBar>
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
        captions << list.columnCaption(i);
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
    // A wider caption before it is absorbed by the drop-down between: the button stays put.
    EXPECT_EQ(find<QPushButton>(component, "cmdAddRoute")->geometry(), QRect(238, 38, 92, 24));
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

// Every caption is drawn whole and stands clear of every other control on its page, at the
// font this machine gives for the design font and at a larger one the host sets.
void expectCaptionsWholeAndClear(Stowline& component) {
    auto* tabs = find<QTabWidget>(component, "SSTab1");
    const auto captionOf = [](const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            return label->text();
        }
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        return button != nullptr ? button->text() : QString();
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
    const auto family = [&](const char* name) {
        return find<QWidget>(component, name)->font().family();
    };
    for (const char* own :
         {"txtRoute", "txtRouteDesc", "txtLocationID", "txtLocationDesc", "cboFacility",
          "cboFacility2", "cboFacility3", "cboRoute", "cboLocation", "optActiveCenters",
          "optAllCenters", "lblversion(1)", "lblversion(2)", "lblversion(3)", "lstStowline"}) {
        EXPECT_EQ(family(own), host.family()) << own;
        EXPECT_EQ(find<QWidget>(component, own)->font().pointSize(), 11) << own;
    }
    for (const char* design : {"Label1", "Label9", "Label11", "cmdAddRoute", "cmdChangeStowline",
                               "cmdDeleteLocation", "lstRoute", "lstLocation"}) {
        EXPECT_EQ(family(design), "Tahoma") << design;
        EXPECT_DOUBLE_EQ(find<QWidget>(component, design)->font().pointSizeF(), 8.25) << design;
    }
    EXPECT_EQ(find<QTabWidget>(component, "SSTab1")->tabBar()->font().family(), "Tahoma");
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
