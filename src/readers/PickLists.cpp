#include "controls/SystemColours.h"
#include "controls/UiText.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"
#include "state/KeyConversions.h"

#include <optional>

namespace stowline::readers {
namespace {

// Records whose key is empty or not a number cannot be sent back, so they are not offered.
std::optional<qint32> offeredKey(const QString& id) {
    bool ok = false;
    const qint32 key = id.trimmed().toInt(&ok, 10);
    return ok ? std::optional<qint32>(key) : std::nullopt;
}

// A pick list's entries, gathered to be added in one step.
struct PickEntries {
    QStringList texts;
    std::vector<qint32> keys;
    void add(const QString& text, qint32 key) {
        texts.append(text);
        keys.push_back(key);
    }
    void fill(controls::DropDown& dropDown) const { dropDown.addEntries(texts, keys); }
};

void finishPickList(controls::DropDown& dropDown, const char* placeholder) {
    if (dropDown.listCount() > 0) {
        dropDown.setLocked(false);
    } else {
        dropDown.addEntry(controls::UiText::tr(placeholder));
        dropDown.setBackColour(Qt::white);
        dropDown.setEnabled(false);
        dropDown.setLocked(true);
    }
    dropDown.setListIndex(0);
}

} // namespace

void RefreshRouteComboBox(state::ComponentState& state) {
    guarded(QStringLiteral("RefreshRouteComboBox"), [&] {
        controls::DropDown& cboRoute = *state.ui.cboRoute;
        cboRoute.clearEntries();
        if (state.mRoutes.empty() || state.mSelectedFacilityID.isEmpty()) {
            return;
        }
        PickEntries entries;
        const state::RecordTable<RouteUDT>& routes = state.mRoutes;
        for (std::size_t k = 1; k < routes.size(); ++k) {
            if (!state::sameText(routes.field(k, &RouteUDT::TOVAFacilityID),
                                 state.mSelectedFacilityID)) {
                continue;
            }
            const RouteUDT route = routes[k];
            if (const std::optional<qint32> key = offeredKey(route.ID)) {
                entries.add(route.Description + QLatin1Char('(') + route.Route + QLatin1Char(')'),
                            *key);
            }
        }
        entries.fill(cboRoute);
        finishPickList(cboRoute, QT_TRANSLATE_NOOP("Stowline", "No Routes Found"));
    });
}

void RefreshStorageLocationComboBox(state::ComponentState& state) {
    guarded(QStringLiteral("RefreshStorageLocationComboBox"), [&] {
        controls::DropDown& cboLocation = *state.ui.cboLocation;
        cboLocation.clearEntries();
        if (state.mStorageLocations.empty()) {
            return;
        }
        PickEntries entries;
        const state::RecordTable<StorageLocationUDT>& locations = state.mStorageLocations;
        for (std::size_t k = 1; k < locations.size(); ++k) {
            // Without a chosen facility every bay is offered.
            if (!state.mSelectedFacilityID.isEmpty() &&
                !state::sameText(locations.field(k, &StorageLocationUDT::TOVAFacilityID),
                                 state.mSelectedFacilityID)) {
                continue;
            }
            const StorageLocationUDT location = locations[k];
            if (const std::optional<qint32> key = offeredKey(location.ID)) {
                entries.add(
                    location.Description + QLatin1Char('(') + location.ID + QLatin1Char(')'), *key);
            }
        }
        entries.fill(cboLocation);
        finishPickList(cboLocation, QT_TRANSLATE_NOOP("Stowline", "Not Locations Found"));
    });
}

} // namespace stowline::readers
