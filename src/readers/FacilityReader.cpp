#include "platform/MessageBox.h"
#include "readers/Conversions.h"
#include "readers/DataSetWalk.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {

void RefreshFacilityDrop(state::ComponentState& state, QByteArray XMLData) {
    guarded(QStringLiteral("RefreshFacilityDrop"), [&] {
        const DataSetWalk walk(std::move(XMLData));
        platform::DropDown* const dropDowns[] = {state.ui.cboFacility, state.ui.cboFacility2,
                                                 state.ui.cboFacility3};
        for (platform::DropDown* dropDown : dropDowns) {
            dropDown->clearEntries();
        }
        if (!walk.parsed()) {
            platform::showMessageBox(walk.parseErrorReason(), platform::StyleOk);
        } else {
            walk.forEachRow({"Description", "TOVAFacilityID"}, [&](const QStringList& row) {
                for (platform::DropDown* dropDown : dropDowns) {
                    const int entry = dropDown->addEntry(row[0]);
                    dropDown->setItemData(entry, toInt32(row[1]));
                }
            });
        }
        // Choosing the first facility fills the assignment page's pick lists for it.
        if (state.ui.cboFacility2->listCount() > 0) {
            state.ui.cboFacility2->setListIndex(0);
        }
    });
}

} // namespace stowline::readers
