#include "pages/RoutePage.h"

#include "control/ComponentState.h"
#include "errors/Guarded.h"
#include "pages/ColumnSort.h"

namespace stowline::pages {

RoutePage::RoutePage(control::ComponentState& state) : m_state(state) {
    m_state.ui.lstRoute->onColumnClick = [this](int column) { lstRoute_ColumnClick(column); };
}

void RoutePage::lstRoute_ColumnClick(int columnIndex) {
    guarded(QStringLiteral("lstRoute_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstRoute, columnIndex); });
}

} // namespace stowline::pages
