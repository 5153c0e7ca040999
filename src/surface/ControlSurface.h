#pragma once

#include "controls/DropDown.h"
#include "controls/ListView.h"
#include "controls/TextBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <array>

namespace stowline::surface {

// Every control of the component, laid out at its design position. The widgets are owned by
// their Qt parents; these are non-owning handles.
struct ControlSurface {
    QTabWidget* SSTab1 = nullptr;
    std::array<QLabel*, 3> lblversion{}; // lblversion(1) to lblversion(3)

    // "Maintain Delivery Routes"
    QFrame* fraRouteList = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* lblRouteFilterCount = nullptr;
    controls::TextBox* txtRouteFilter = nullptr;
    controls::ListView* lstRoute = nullptr;
    QFrame* fraRouteEdit = nullptr;
    QLabel* Label1 = nullptr;
    controls::TextBox* txtRoute = nullptr;
    QLabel* Label2 = nullptr;
    controls::TextBox* txtRouteDesc = nullptr;
    QLabel* Label12 = nullptr;
    controls::DropDown* cboFacility3 = nullptr;
    QPushButton* cmdAddRoute = nullptr;
    QPushButton* cmdChangeRoute = nullptr;
    QPushButton* cmdDeleteRoute = nullptr;

    // "Maintain Storage Locations"
    QFrame* fraLocationList = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* lblLocationFilterCount = nullptr;
    controls::TextBox* txtLocationFilter = nullptr;
    controls::ListView* lstLocation = nullptr;
    QFrame* fraLocationEdit = nullptr;
    QLabel* Label3 = nullptr;
    controls::TextBox* txtLocationID = nullptr;
    QLabel* Label4 = nullptr;
    controls::TextBox* txtLocationDesc = nullptr;
    QLabel* Label10 = nullptr;
    controls::DropDown* cboFacility = nullptr;
    QPushButton* cmdAddLocation = nullptr;
    QPushButton* cmdChangeLocation = nullptr;
    QPushButton* cmdDeleteLocation = nullptr;

    // "Assign Routes and Locations"
    QFrame* fraStowlineList = nullptr;
    QLabel* Label9 = nullptr;
    QRadioButton* optActiveCenters = nullptr;
    QRadioButton* optAllCenters = nullptr;
    QLabel* lblCenterFilterCount = nullptr;
    controls::TextBox* txtCenterFilter = nullptr;
    QLabel* Label11 = nullptr;
    controls::DropDown* cboFacility2 = nullptr;
    controls::TextBox* txtErrorMessage = nullptr;
    controls::ListView* lstStowline = nullptr;
    QFrame* fraStowlineEdit = nullptr;
    QLabel* Label5 = nullptr;
    controls::DropDown* cboRoute = nullptr;
    QLabel* Label6 = nullptr;
    controls::DropDown* cboLocation = nullptr;
    QPushButton* cmdChangeStowline = nullptr;
    QPushButton* cmdCancelStowline = nullptr;
};

// Creates the controls inside the owner with their design names, captions, fonts, geometry and
// design-time states (before the start-up procedure runs). Beyond the design, each list frame
// holds a filter box and the count of the rows shown, at the right of the list's heading line,
// where the design leaves room (the centers' never-shown txtErrorMessage lies there too); and
// Enter presses the focused button.
ControlSurface buildControlSurface(QWidget* owner);

// Twips to device-independent pixels.
inline int twips(int value) {
    return qRound(value / 15.0);
}

} // namespace stowline::surface
