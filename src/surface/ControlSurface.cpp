#include "surface/ControlSurface.h"

#include "surface/CaptionFit.h"

#include "controls/EnterPressesButton.h"
#include "controls/SystemColours.h"
#include "controls/UiText.h"

#include <QFont>
#include <QTabBar>

#include <algorithm>

namespace stowline::surface {
namespace {

using controls::UiText;

// On a tab page, design positions count from the tab control's corner, above the tab strip.
constexpr int TabStripTwips = 300;
constexpr int TabBorderTwips = 30;

QFont designFont(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

template <typename Widget>
Widget* create(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    setDesignGeometry(*widget, QRect(twips(left), twips(top), twips(width), twips(height)));
    return widget;
}

// A control standing directly on a tab page.
template <typename Widget>
Widget* createOnTab(QWidget* page, const char* name, int left, int top, int width, int height) {
    return create<Widget>(page, name, left - TabBorderTwips, top - TabStripTwips, width, height);
}

QFrame* frame(QWidget* page, const char* name, int left, int top, int width, int height) {
    auto* result = createOnTab<QFrame>(page, name, left, top, width, height);
    result->setFrameShape(QFrame::StyledPanel);
    return result;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height, bool bold = false) {
    auto* result = create<QLabel>(parent, name, left, top, width, height);
    result->setText(caption);
    result->setFont(designFont(bold));
    return result;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* result = create<QPushButton>(parent, name, left, top, width, height);
    result->setText(caption);
    result->setFont(designFont(false));
    result->setAutoDefault(false);
    return result;
}

controls::DropDown* dropDown(QWidget* parent, const char* name, bool editable, int left, int top,
                             int width, int height) {
    auto* result = new controls::DropDown(editable, parent);
    result->setObjectName(QString::fromLatin1(name));
    setDesignGeometry(*result, QRect(twips(left), twips(top), twips(width), twips(height)));
    return result;
}

QLabel* versionLabel(QWidget* parent, int index, int left, int top, int width, int height) {
    const QByteArray name = "lblversion(" + QByteArray::number(index) + ")";
    auto* result = create<QLabel>(parent, name.constData(), left, top, width, height);
    result->setText(UiText::tr("version"));
    return result;
}

// The filter box at the right end of a list's heading line, over the list's right edge, with the
// count of rows shown right-aligned before it, on the line's middle. Both take the component's
// font, like every control the design does not name.
void filterControls(QFrame* frame, controls::TextBox*& box, const char* boxName, QLabel*& count,
                    const char* countName, int lineTop) {
    constexpr int BoxLeft = 6960;
    constexpr int BoxWidth = 2985; // to the list's right edge
    constexpr int BoxHeight = 285;
    constexpr int CountLeft = 3150;
    constexpr int CountHeight = 195;
    count = create<QLabel>(frame, countName, CountLeft, lineTop + (BoxHeight - CountHeight) / 2,
                           BoxLeft - 60 - CountLeft, CountHeight);
    count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box = create<controls::TextBox>(frame, boxName, BoxLeft, lineTop, BoxWidth, BoxHeight);
    box->setPlaceholderText(UiText::tr("Filter"));
    box->setToolTip(UiText::tr("Shows only the rows holding every word typed (Ctrl+F); "
                               "Esc clears it"));
}

void buildRoutePage(ControlSurface& ui, QWidget* page) {
    const QColor buttonFace = controls::buttonFaceColour();
    ui.fraRouteList = frame(page, "fraRouteList", 105, 330, 10080, 4590);
    ui.Label7 = label(ui.fraRouteList, "Label7", UiText::tr("List of Delivery Routes:"), 150, 135,
                      1950, 195, true);
    filterControls(ui.fraRouteList, ui.txtRouteFilter, "txtRouteFilter", ui.lblRouteFilterCount,
                   "lblRouteFilterCount", 90);
    ui.lstRoute = create<controls::ListView>(ui.fraRouteList, "lstRoute", 105, 405, 9840, 4080);
    ui.lstRoute->setFont(designFont(false));

    ui.fraRouteEdit = frame(page, "fraRouteEdit", 105, 4920, 10080, 1560);
    ui.Label1 = label(ui.fraRouteEdit, "Label1", UiText::tr("Route:"), 200, 225, 495, 195);
    ui.txtRoute = create<controls::TextBox>(ui.fraRouteEdit, "txtRoute", 720, 195, 2500, 300);
    ui.txtRoute->setTypedMaxLength(2);
    ui.txtRoute->setBackColour(buttonFace);
    ui.Label2 = label(ui.fraRouteEdit, "Label2", UiText::tr("Description:"), 3555, 210, 855, 195);
    ui.txtRouteDesc =
        create<controls::TextBox>(ui.fraRouteEdit, "txtRouteDesc", 4485, 195, 3435, 285);
    ui.txtRouteDesc->setBackColour(buttonFace);
    ui.Label12 = label(ui.fraRouteEdit, "Label12", UiText::tr("Facility:"), 140, 600, 555, 195);
    ui.cboFacility3 = dropDown(ui.fraRouteEdit, "cboFacility3", true, 720, 600, 2500, 315);
    ui.cboFacility3->setLocked(true);
    ui.cboFacility3->setBackColour(buttonFace);
    ui.cmdAddRoute =
        button(ui.fraRouteEdit, "cmdAddRoute", UiText::tr("Add Route"), 3575, 565, 1380, 360);
    ui.cmdChangeRoute =
        button(ui.fraRouteEdit, "cmdChangeRoute", UiText::tr("Change Route"), 5040, 565, 1380, 360);
    ui.cmdDeleteRoute =
        button(ui.fraRouteEdit, "cmdDeleteRoute", UiText::tr("Delete Route"), 6545, 565, 1380, 360);
    ui.lblversion[0] = versionLabel(ui.fraRouteEdit, 1, 120, 1080, 2160, 345);
}

void buildLocationPage(ControlSurface& ui, QWidget* page) {
    const QColor buttonFace = controls::buttonFaceColour();
    ui.fraLocationEdit = frame(page, "fraLocationEdit", 105, 4920, 10080, 1560);
    ui.Label3 =
        label(ui.fraLocationEdit, "Label3", UiText::tr("Storage Bay Name:"), 120, 225, 1395, 195);
    ui.txtLocationID =
        create<controls::TextBox>(ui.fraLocationEdit, "txtLocationID", 1665, 195, 1560, 300);
    ui.txtLocationID->setLocked(true);
    ui.txtLocationID->setBackColour(buttonFace);
    ui.Label4 =
        label(ui.fraLocationEdit, "Label4", UiText::tr("Description:"), 3555, 210, 855, 195);
    ui.txtLocationDesc =
        create<controls::TextBox>(ui.fraLocationEdit, "txtLocationDesc", 4485, 195, 3435, 285);
    ui.txtLocationDesc->setTypedMaxLength(50);
    ui.txtLocationDesc->setLocked(true);
    ui.txtLocationDesc->setBackColour(buttonFace);
    ui.Label10 = label(ui.fraLocationEdit, "Label10", UiText::tr("Facility:"), 135, 600, 555, 195);
    ui.cboFacility = dropDown(ui.fraLocationEdit, "cboFacility", true, 720, 600, 2500, 315);
    ui.cboFacility->setLocked(true);
    ui.cboFacility->setBackColour(buttonFace);
    ui.lblversion[1] = versionLabel(ui.fraLocationEdit, 2, 120, 1080, 2160, 345);

    // The three buttons stand on the tab itself, over the edit frame.
    for (auto [target, name, caption, left] :
         {std::tuple{&ui.cmdAddLocation, "cmdAddLocation", UiText::tr("Add Location"), 3675},
          std::tuple{&ui.cmdChangeLocation, "cmdChangeLocation", UiText::tr("Change Location"),
                     5160},
          std::tuple{&ui.cmdDeleteLocation, "cmdDeleteLocation", UiText::tr("Delete Location"),
                     6645}}) {
        *target =
            button(page, name, caption, left - TabBorderTwips, 5490 - TabStripTwips, 1380, 360);
    }

    ui.fraLocationList = frame(page, "fraLocationList", 105, 330, 10080, 4590);
    ui.Label8 = label(ui.fraLocationList, "Label8", UiText::tr("List of Storage Locations:"), 150,
                      135, 2130, 195, true);
    filterControls(ui.fraLocationList, ui.txtLocationFilter, "txtLocationFilter",
                   ui.lblLocationFilterCount, "lblLocationFilterCount", 90);
    ui.lstLocation =
        create<controls::ListView>(ui.fraLocationList, "lstLocation", 105, 405, 9840, 4080);
    ui.lstLocation->setFont(designFont(false));
}

void buildAssignmentPage(ControlSurface& ui, QWidget* page) {
    const QColor buttonFace = controls::buttonFaceColour();
    ui.fraStowlineList = frame(page, "fraStowlineList", 105, 330, 10080, 4830);
    ui.Label9 = label(ui.fraStowlineList, "Label9", UiText::tr("List of Centers:"), 150, 255, 1260,
                      195, true);
    ui.optActiveCenters =
        create<QRadioButton>(ui.fraStowlineList, "optActiveCenters", 1545, 270, 855, 255);
    ui.optActiveCenters->setText(UiText::tr("Active"));
    ui.optActiveCenters->setChecked(true);
    ui.optAllCenters =
        create<QRadioButton>(ui.fraStowlineList, "optAllCenters", 2505, 270, 495, 255);
    ui.optAllCenters->setText(UiText::tr("All"));
    ui.Label11 =
        label(ui.fraStowlineList, "Label11", UiText::tr("Facility"), 150, 600, 600, 195, true);
    ui.cboFacility2 = dropDown(ui.fraStowlineList, "cboFacility2", true, 840, 600, 4185, 315);
    ui.cboFacility2->setBackColour(Qt::white);
    ui.txtErrorMessage =
        create<controls::TextBox>(ui.fraStowlineList, "txtErrorMessage", 5760, 240, 4095, 285);
    // Never shown, so its text is not offered for translation.
    ui.txtErrorMessage->setText(
        QStringLiteral("This control is for error handling. So I set it to invisible."));
    ui.txtErrorMessage->setVisible(false);
    filterControls(ui.fraStowlineList, ui.txtCenterFilter, "txtCenterFilter",
                   ui.lblCenterFilterCount, "lblCenterFilterCount", 240);
    ui.lstStowline =
        create<controls::ListView>(ui.fraStowlineList, "lstStowline", 105, 960, 9840, 3720);

    ui.fraStowlineEdit = frame(page, "fraStowlineEdit", 105, 5160, 10080, 1320);
    ui.Label5 = label(ui.fraStowlineEdit, "Label5", UiText::tr("Route:"), 150, 225, 495, 195);
    ui.cboRoute = dropDown(ui.fraStowlineEdit, "cboRoute", false, 1305, 195, 2835, 315);
    ui.cboRoute->setEnabled(false);
    ui.cboRoute->setBackColour(buttonFace);
    ui.Label6 =
        label(ui.fraStowlineEdit, "Label6", UiText::tr("Storage Location:"), 5130, 225, 1275, 195);
    ui.cboLocation = dropDown(ui.fraStowlineEdit, "cboLocation", false, 6495, 195, 1665, 315);
    ui.cboLocation->setEnabled(false);
    ui.cboLocation->setBackColour(buttonFace);
    ui.cmdChangeStowline = button(ui.fraStowlineEdit, "cmdChangeStowline",
                                  UiText::tr("Change Route/Location"), 4200, 600, 1950, 360);
    ui.cmdCancelStowline =
        button(ui.fraStowlineEdit, "cmdCancelStowline", UiText::tr("Cancel"), 6315, 600, 1950, 360);
    ui.cmdCancelStowline->setEnabled(false);
    ui.lblversion[2] = versionLabel(ui.fraStowlineEdit, 3, 120, 675, 1200, 345);
}

} // namespace

ControlSurface buildControlSurface(QWidget* owner) {
    ControlSurface ui;
    ui.SSTab1 = create<QTabWidget>(owner, "SSTab1", 0, 0, 10320, 6615);
    // Only the tab captions take the design font: a font set on the tab control would reach
    // every control on the pages, which take the component's own.
    ui.SSTab1->tabBar()->setFont(designFont(false));
    const QString captions[] = {UiText::tr("Maintain Delivery Routes"),
                                UiText::tr("Maintain Storage Locations"),
                                UiText::tr("Assign Routes and Locations")};
    std::array<QWidget*, 3> pages{};
    for (int i = 0; i < 3; ++i) {
        pages[i] = new QWidget;
        pages[i]->setObjectName(QStringLiteral("SSTab1Page%1").arg(i));
        ui.SSTab1->addTab(pages[i], captions[i]);
    }
    buildRoutePage(ui, pages[0]);
    buildLocationPage(ui, pages[1]);
    buildAssignmentPage(ui, pages[2]);
    ui.SSTab1->setCurrentIndex(1);
    controls::pressFocusedButtonOnEnter(*owner);
    return ui;
}

} // namespace stowline::surface
