#pragma once

namespace stowline::control {
struct ComponentState;
}

namespace stowline::pages {

// The "Assign Routes and Locations" page: its handlers, installed on the controls on creation.
class AssignmentPage {
public:
    explicit AssignmentPage(control::ComponentState& state);
    AssignmentPage(const AssignmentPage&) = delete;
    AssignmentPage& operator=(const AssignmentPage&) = delete;

    void lstStowline_ColumnClick(int columnIndex);
    // Takes the chosen facility and refills the pick lists for it.
    void cboFacility2_Click();

private:
    control::ComponentState& m_state;
};

} // namespace stowline::pages
