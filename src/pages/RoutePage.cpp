#include "pages/RoutePage.h"

#include "controls/MessageBox.h"
#include "controls/UiText.h"
#include "pages/PageText.h"
#include "pages/Requery.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"
#include "state/KeyConversions.h"

namespace stowline::pages {
namespace {

using controls::UiText;

MaintenancePage::Controls controlsOf(state::ComponentState& state) {
    const surface::ControlSurface& ui = state.ui;
    return {.list = ui.lstRoute,
            .listFrame = ui.fraRouteList,
            .nameBox = ui.txtRoute,
            .descriptionBox = ui.txtRouteDesc,
            .facility = ui.cboFacility3,
            .addButton = ui.cmdAddRoute,
            .changeButton = ui.cmdChangeRoute,
            .deleteButton = ui.cmdDeleteRoute,
            .selected = &state.mSelectedRouteItem};
}

constexpr MaintenancePage::Texts PageTexts = {
    .addCaption = QT_TRANSLATE_NOOP("Stowline", "Add Route"),
    .changeCaption = QT_TRANSLATE_NOOP("Stowline", "Change Route"),
    .nameMissing = QT_TRANSLATE_NOOP("Stowline", "Enter a route"),
    .descriptionMissing = QT_TRANSLATE_NOOP("Stowline", "Enter a route description"),
    .duplicate =
        QT_TRANSLATE_NOOP("Stowline", "This route already exists. Enter a different route."),
    .selectToChange = QT_TRANSLATE_NOOP("Stowline", "Please select a route to change."),
    .selectToDelete = QT_TRANSLATE_NOOP("Stowline", "Please select Route to delete."),
    .confirmDelete = QT_TRANSLATE_NOOP(
        "Stowline", "The selected route will be deleted permanently. Do you want to proceed?"),
    .added = QT_TRANSLATE_NOOP("Stowline", "Route has been added successfully!!!!"),
    .addedTitle = QT_TRANSLATE_NOOP("Stowline", "Route Added"),
    .updated = QT_TRANSLATE_NOOP("Stowline", "Route has been updated successfully!!!!"),
    .updatedTitle = QT_TRANSLATE_NOOP("Stowline", "Update Route"),
    .deleted = QT_TRANSLATE_NOOP("Stowline", "Route has been deleted successfully!!!!"),
    .deletedTitle = QT_TRANSLATE_NOOP("Stowline", "Route Deleted")};

} // namespace

RoutePage::RoutePage(state::ComponentState& state)
    : MaintenancePage(controlsOf(state), PageTexts,
                      {.save = QStringLiteral("AddRoute"),
                       .change = QStringLiteral("ChangeRoute"),
                       .remove = QStringLiteral("DeleteRoute"),
                       .click = QStringLiteral("lstRoute_Click()"),
                       .columnClick = QStringLiteral("lstRoute_ColumnClick()")},
                      {.duplicateByName = true,
                       .nameChangeable = false,
                       .changeShowsItemsFacility = true,
                       .cancelRestoresBoxes = true,
                       .saveSelectsNewItem = true,
                       .updateChecksFacilityFirst = false,
                       .updateShownBeforeBox = true}),
      m_state(state) {
    // Both boxes select their text on focus and never take an apostrophe.
    for (controls::TextBox* box : {state.ui.txtRoute, state.ui.txtRouteDesc}) {
        box->onGotFocus = [box] { selectAll(*box); };
        box->onKeyPress = discardApostrophe;
    }
}

bool RoutePage::RouteExist(const QString& route) {
    return guarded(QStringLiteral("RouteExist"), false, [&](bool& exists) {
        const state::RecordTable<RouteUDT>& routes = m_state.mRoutes;
        for (std::size_t i = 1; i < routes.size() && !exists; ++i) {
            exists = state::sameText(routes.field(i, &RouteUDT::Route), route);
        }
    });
}

bool RoutePage::exists(const QString& name, const QString& /*description*/) {
    return RouteExist(name);
}

bool RoutePage::facilityChosen(Mode /*mode*/) {
    controls::DropDown& facilities = *controls().facility;
    if (facilities.listIndex() >= 0) {
        return true;
    }
    controls::showMessageBox(UiText::tr("Please select a facility."), controls::StyleOk);
    facilities.setFocus();
    return false;
}

qint16 RoutePage::facilityId() const {
    const controls::DropDown& facilities = *controls().facility;
    return state::toInt16(qint64{facilities.itemData(facilities.listIndex())});
}

service::ExchangeOutcome RoutePage::sendAdd(const QString& name, const QString& description) {
    return m_state.client.AddRouteSOAP(facilityId(), name, description);
}

service::ExchangeOutcome RoutePage::sendUpdate(const controls::ListItemRef& item,
                                               const QString& name, const QString& description) {
    const qint16 facility = facilityId();
    const qint16 route = state::toInt16(controls().list->tag(item));
    return m_state.client.UpdateRouteSOAP(facility, route, name, description);
}

service::ExchangeOutcome RoutePage::sendDelete(const controls::ListItemRef& item) {
    return m_state.client.DeleteRouteSOAP(state::toInt16(controls().list->tag(item)));
}

void RoutePage::requery() {
    // Facilities and bays cannot change by a route change, so they are not asked for again.
    requeryRoutes(m_state);
    requeryCenters(m_state);
}

} // namespace stowline::pages
