#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::readers {
namespace {

void listCenters(state::ComponentState& state, bool activeOnly) {
    state.mListedCenters.clear();
    for (std::size_t k = 1; k < state.mAllCenters.size(); ++k) {
        // Only the exact text "2" marks an active center.
        if (!activeOnly ||
            state.mAllCenters.field(k, &RouteAndLocationsUDT::Status) == QByteArrayView("2")) {
            state.mListedCenters.push_back(k);
        }
    }
    state.ui.lstStowline->showRows(static_cast<int>(state.mListedCenters.size()));
    RefreshRouteComboBox(state);
    RefreshStorageLocationComboBox(state);
}

} // namespace

void RefreshStowlineData(state::ComponentState& state, DataSetInput XMLData, bool activeOnly) {
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        DataSetRead read = XMLData.take(CenterColumns);
        state.ui.lstStowline->clearItems();
        state.mCentersRead = static_cast<bool>(read.result);
        state.mAllCenters.replace(std::move(read.rows));
        state.mListedCenters.clear();
        if (!readOrRaise(read.result)) {
            return;
        }
        listCenters(state, activeOnly);
    });
}

void RefreshStowlineData(state::ComponentState& state, bool activeOnly) {
    // The last answer is filtered again; the service is not asked.
    guarded(QStringLiteral("RefreshStowlineData"), [&] {
        state.ui.lstStowline->clearItems();
        if (state.mCentersRead) {
            listCenters(state, activeOnly);
        }
    });
}

} // namespace stowline::readers
