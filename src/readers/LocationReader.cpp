#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshLocationData(state::ComponentState& state, DataSetInput XMLData) {
    guarded(QStringLiteral("RefreshLocationData"), [&] {
        // The bay's name (the last column) is shown but has no place in the record.
        static_assert(LocationColumns.size() == state::ComponentState::BayNameColumn + 1);
        const bool parsed = refillList(*state.ui.lstLocation, std::move(XMLData), LocationColumns,
                                       [&](state::Utf8Table rows) {
                                           if (rows.rows() > 0) {
                                               state.mStorageLocations.replace(std::move(rows));
                                           }
                                       });
        if (!parsed) {
            return;
        }
        state.mSelectedLocationItem = {};
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::readers
