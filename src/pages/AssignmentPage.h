#pragma once

#include <QString>

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The "Assign Routes and Locations" page: its handlers, installed on the controls on creation.
// The page is idle or edits a center's assignment; cmdChangeStowline's caption shows which.
class AssignmentPage {
public:
    explicit AssignmentPage(state::ComponentState& state);
    AssignmentPage(const AssignmentPage&) = delete;
    AssignmentPage& operator=(const AssignmentPage&) = delete;

    void cmdChangeStowline_Click();
    // Leaves edit mode without sending; the pick lists show the selected center's values again.
    void cmdCancelStowline_Click();
    // Shows the selected center's facility, route and storage location in the drop-downs.
    void lstStowline_Click();
    void lstStowline_ColumnClick(int columnIndex);
    // Takes the chosen facility and refills the pick lists for it.
    void cboFacility2_Click();
    void optActiveCenters_Click();
    void optAllCenters_Click();

private:
    // Enters edit mode, or, in edit mode, sends the assignment.
    void ChangeStowline();
    // Back to idle after the centers list was re-filtered during edit mode.
    void ResetStowlineEdit();

    void enterEditMode();
    void sendAssignment();
    // After an assignment whose answer was lost: the centers as the service now holds them, the
    // center selected again (by its ID), and the operator's facility and picks chosen again,
    // still in edit mode.
    void requeryKeepingChoices(const QString& centerId);
    void refilterCenters(bool activeOnly);
    void showIdleLook();
    // The page's mode, shown by cmdChangeStowline's caption.
    void showMode(bool edit);

    // The captions cmdChangeStowline switches between.
    struct Captions {
        QString idle;
        QString edit;
    };

    state::ComponentState& m_state;
    // Looked up once, as the controls get their first captions, so that a translator installed
    // later cannot make the shown caption differ from the one the mode check compares with.
    const Captions m_captions;
    bool m_editMode = false;
};

} // namespace stowline::pages
