#include "pages/AssignmentPage.h"

#include "control/ComponentState.h"
#include "errors/Guarded.h"
#include "pages/ColumnSort.h"
#include "records/Readers.h"

namespace stowline::pages {

AssignmentPage::AssignmentPage(control::ComponentState& state) : m_state(state) {
    control::ControlSurface& ui = m_state.ui;
    ui.lstStowline->onColumnClick = [this](int column) { lstStowline_ColumnClick(column); };
    ui.cboFacility2->onClick = [this] { cboFacility2_Click(); };
}

void AssignmentPage::lstStowline_ColumnClick(int columnIndex) {
    guarded(QStringLiteral("lstStowline_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstStowline, columnIndex); });
}

void AssignmentPage::cboFacility2_Click() {
    guarded(QStringLiteral("cboFacility2_Click()"), [&] {
        platform::DropDown& facility = *m_state.ui.cboFacility2;
        m_state.mSelectedFacilityID = QString::number(facility.itemData(facility.listIndex()));
        records::RefreshRouteComboBox(m_state);
        records::RefreshStorageLocationComboBox(m_state);
    });
}

} // namespace stowline::pages
