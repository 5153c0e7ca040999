#include "readers/ListRefill.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshLocationData(state::ComponentState& state, const QByteArray& XMLData) {
    guarded(QStringLiteral("RefreshLocationData"), [&] {
        platform::ListView& list = *state.ui.lstLocation;
        std::size_t rowCount = 0;
        const bool parsed = refillList(
            list, XMLData,
            {"StorageLocationID", "Description", "Facility", "TOVAFacilityID", "RouteName"},
            [&](const QStringList& row) {
                const QString& id = row[0];
                ++rowCount;
                state.mStorageLocations.resize(rowCount + 1);
                // The bay's name is shown but has no place in the record.
                list.appendRow({row[4], row[1], row[2]}, id.isEmpty() ? QVariant(0) : QVariant(id));
                state.mStorageLocations[rowCount] = StorageLocationUDT{row[1], id, row[2], row[3]};
            });
        if (!parsed) {
            return;
        }
        state.mSelectedLocationItem = {};
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::readers
