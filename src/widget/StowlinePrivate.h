#pragma once

#include "controls/ActionScope.h"
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
    // True, with an entry in the event log, when an action of the component is under way: the
    // host's call of the method would run inside it.
    bool refusedInsideAction(const QString& method) const;

    // First, so that it is there for every action of the parts below.
    controls::ComponentActions actions;
    state::ComponentState state;
    pages::RoutePage routePage;
    pages::LocationPage locationPage;
    pages::AssignmentPage assignmentPage;
};

// "Version Number: " and the component's major.minor.revision.
QString versionText();

} // namespace stowline
