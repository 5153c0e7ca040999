#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshLocationData(state::ComponentState& state, QByteArray XMLData) {
    guarded(QStringLiteral("RefreshLocationData"), [&] {
        const bool parsed = refillList(
            *state.ui.lstLocation, std::move(XMLData),
            {"StorageLocationID", "Description", "Facility", "TOVAFacilityID", "RouteName"},
            [&](const QStringList& row, int k) {
                const auto index = static_cast<std::size_t>(k);
                state.mStorageLocations.resize(index + 1);
                state.mStorageLocationNames.resize(index + 1);
                state.mStorageLocations[index] = StorageLocationUDT{row[1], row[0], row[2], row[3]};
                // The bay's name is shown but has no place in the record.
                state.mStorageLocationNames[index] = row[4];
                return true;
            });
        if (!parsed) {
            return;
        }
        state.mSelectedLocationItem = {};
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::readers
