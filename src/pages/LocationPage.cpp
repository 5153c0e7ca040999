#include "pages/LocationPage.h"

#include "control/ComponentState.h"
#include "errors/Guarded.h"
#include "pages/ColumnSort.h"

namespace stowline::pages {

LocationPage::LocationPage(control::ComponentState& state) : m_state(state) {
    m_state.ui.lstLocation->onColumnClick = [this](int column) { lstLocation_ColumnClick(column); };
}

void LocationPage::lstLocation_ColumnClick(int columnIndex) {
    guarded(QStringLiteral("lstLocation_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstLocation, columnIndex); });
}

} // namespace stowline::pages
