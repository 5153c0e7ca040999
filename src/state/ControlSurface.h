#pragma once

#include "platform/DropDown.h"
#include "platform/ListView.h"
#include "platform/TextBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <array>

namespace stowline::state {

// Every control of the component, laid out at its design position. The widgets are owned by
// their Qt parents; these are non-owning handles.
struct ControlSurface {
    QTabWidget* SSTab1 = nullptr;
    std::array<QLabel*, 3> lblversion{}; // lblversion(1) to lblversion(3)

    // "Maintain Delivery Routes"
    QFrame* fraRouteList = nullptr;
    QLabel* Label7 = nullptr;
    platform::ListView* lstRoute = nullptr;
    QFrame* fraRouteEdit = nullptr;
    QLabel* Label1 = nullptr;
    platform::TextBox* txtRoute = nullptr;
    QLabel* Label2 = nullptr;
    platform::TextBox* txtRouteDesc = nullptr;
    QLabel* Label12 = nullptr;
    platform::DropDown* cboFacility3 = nullptr;
    QPushButton* cmdAddRoute = nullptr;
    QPushButton* cmdChangeRoute = nullptr;
    QPushButton* cmdDeleteRoute = nullptr;

    // "Maintain Storage Locations"
    QFrame* fraLocationList = nullptr;
    QLabel* Label8 = nullptr;
    platform::ListView* lstLocation = nullptr;
    QFrame* fraLocationEdit = nullptr;
    QLabel* Label3 = nullptr;
    platform::TextBox* txtLocationID = nullptr;
    QLabel* Label4 = nullptr;
    platform::TextBox* txtLocationDesc = nullptr;
    QLabel* Label10 = nullptr;
    platform::DropDown* cboFacility = nullptr;
    QPushButton* cmdAddLocation = nullptr;
    QPushButton* cmdChangeLocation = nullptr;
    QPushButton* cmdDeleteLocation = nullptr;

    // "Assign Routes and Locations"
    QFrame* fraStowlineList = nullptr;
    QLabel* Label9 = nullptr;
    QRadioButton* optActiveCenters = nullptr;
    QRadioButton* optAllCenters = nullptr;
    QLabel* Label11 = nullptr;
    platform::DropDown* cboFacility2 = nullptr;
    platform::TextBox* txtErrorMessage = nullptr;
    platform::ListView* lstStowline = nullptr;
    QFrame* fraStowlineEdit = nullptr;
    QLabel* Label5 = nullptr;
    platform::DropDown* cboRoute = nullptr;
    QLabel* Label6 = nullptr;
    platform::DropDown* cboLocation = nullptr;
    QPushButton* cmdChangeStowline = nullptr;
    QPushButton* cmdCancelStowline = nullptr;
};

// Creates the controls inside the owner with their design names, captions, fonts, geometry and
// design-time states (before the start-up procedure runs).
ControlSurface buildControlSurface(QWidget* owner);

// Twips to device-independent pixels.
inline int twips(int value) {
    return qRound(value / 15.0);
}

} // namespace stowline::state
