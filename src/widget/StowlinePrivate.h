#pragma once

#include "pages/AssignmentPage.h"
#include "pages/LocationPage.h"
#include "pages/RoutePage.h"
#include "state/ComponentState.h"

#include <memory>

namespace stowline {

// The component's state and its three pages, kept out of the public header.
class StowlinePrivate {
public:
    explicit StowlinePrivate(QWidget* owner);

    void UserControl_Initialize();
    void LoadData(const QString& ptServerName);

    state::ComponentState state;
    pages::RoutePage routePage;
    pages::LocationPage locationPage;
    pages::AssignmentPage assignmentPage;
};

// "Version Number: " and the component's major.minor.revision.
QString versionText();

} // namespace stowline
