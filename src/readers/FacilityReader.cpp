#include "controls/MessageBox.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"
#include "state/KeyConversions.h"

namespace stowline::readers {

void RefreshFacilityDrop(state::ComponentState& state, DataSetInput XMLData) {
    guarded(QStringLiteral("RefreshFacilityDrop"), [&] {
        const DataSetRead read = XMLData.take(FacilityColumns);
        controls::DropDown* const dropDowns[] = {state.ui.cboFacility, state.ui.cboFacility2,
                                                 state.ui.cboFacility3};
        for (controls::DropDown* dropDown : dropDowns) {
            dropDown->clearEntries();
        }
        if (!read.result) {
            controls::showMessageBox(read.result.description(), controls::StyleOk);
        } else {
            for (int row = 0; row < read.rows.rows(); ++row) {
                const QString description = read.rows.text(row, 0);
                const QString key = read.rows.text(row, 1);
                for (controls::DropDown* dropDown : dropDowns) {
                    const int entry = dropDown->addEntry(description);
                    dropDown->setItemData(entry, state::toInt32(key));
                }
            }
        }
        // Choosing the first facility fills the assignment page's pick lists for it.
        if (state.ui.cboFacility2->listCount() > 0) {
            state.ui.cboFacility2->setListIndex(0);
        }
    });
}

} // namespace stowline::readers
