#include "control/ComponentState.h"
#include "errors/Guarded.h"
#include "records/BatchFill.h"
#include "records/DataSetWalk.h"
#include "records/Readers.h"

namespace stowline::records {

void RefreshLocationData(control::ComponentState& state, const QByteArray& XMLData) {
    guarded(QStringLiteral("RefreshLocationData"), [&] {
        const DataSetWalk walk(XMLData);
        platform::ListView& list = *state.ui.lstLocation;
        list.clearItems();
        if (!walk.parsed()) {
            return;
        }
        {
            const BatchFill fill(list);
            std::size_t rowCount = 0;
            walk.forEachRow(
                {"StorageLocationID", "Description", "Facility", "TOVAFacilityID", "RouteName"},
                [&](const QStringList& row) {
                    const QString& id = row[0];
                    ++rowCount;
                    state.mStorageLocations.resize(rowCount + 1);
                    // The bay's name is shown but has no place in the record.
                    list.appendRow({row[4], row[1], row[2]},
                                   id.isEmpty() ? QVariant(0) : QVariant(id));
                    state.mStorageLocations[rowCount] =
                        StorageLocationUDT{row[1], id, row[2], row[3]};
                });
        }
        state.mSelectedLocationItem = {};
        RefreshStorageLocationComboBox(state);
    });
}

} // namespace stowline::records
