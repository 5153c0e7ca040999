#pragma once

#include <QString>

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Delivery Routes" page: its handlers, installed on the controls on creation.
// The page's mode (idle, adding, changing) lives only in the captions of its first two
// buttons.
class RoutePage {
public:
    explicit RoutePage(state::ComponentState& state);
    RoutePage(const RoutePage&) = delete;
    RoutePage& operator=(const RoutePage&) = delete;

    void cmdAddRoute_Click() { AddRoute(); }
    void cmdChangeRoute_Click() { ChangeRoute(); }
    void cmdDeleteRoute_Click() { DeleteRoute(); }
    void lstRoute_Click();
    void lstRoute_ColumnClick(int columnIndex);
    void txtRoute_GotFocus();
    void txtRouteDesc_GotFocus();
    int txtRoute_KeyPress(int keyAscii);
    int txtRouteDesc_KeyPress(int keyAscii);

    // Enters adding mode, or saves the new or changed route.
    void AddRoute();
    // Enters changing mode, or cancels adding or changing.
    void ChangeRoute();
    void DeleteRoute();
    // True when a route of any facility has exactly this name, as of the last rebuild.
    bool RouteExist(const QString& route);

private:
    void enterAddingMode();
    void enterChangingMode();
    void cancelEdit();
    void backToIdle();
    void refreshAfterChange();
    // False, with the operator told, when no facility entry is selected.
    bool facilityChosen();

    // The captions the first two buttons switch between.
    struct Captions {
        QString addRoute;
        QString changeRoute;
        QString save;
        QString update;
        QString cancel;
    };

    state::ComponentState& m_state;
    // Looked up once, as the controls get their first captions, so that a translator installed
    // later cannot make a shown caption differ from the one the mode checks compare with.
    const Captions m_captions;
};

} // namespace stowline::pages
