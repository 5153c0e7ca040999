#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshRouteData(state::ComponentState& state, DataSetInput XMLData) {
    guarded(QStringLiteral("RefreshRouteData"), [&] {
        const bool parsed = refillList(*state.ui.lstRoute, std::move(XMLData), RouteColumns,
                                       [&](state::Utf8Table rows) {
                                           if (rows.rows() > 0) {
                                               state.mRoutes.replace(std::move(rows));
                                           }
                                       });
        if (!parsed) {
            return;
        }
        RefreshRouteComboBox(state);
        state.mSelectedRouteItem = {};
    });
}

} // namespace stowline::readers
