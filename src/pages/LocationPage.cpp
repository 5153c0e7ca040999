#include "pages/LocationPage.h"

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
    return {.list = ui.lstLocation,
            .listFrame = ui.fraLocationList,
            .nameBox = ui.txtLocationID,
            .descriptionBox = ui.txtLocationDesc,
            .facility = ui.cboFacility,
            .addButton = ui.cmdAddLocation,
            .changeButton = ui.cmdChangeLocation,
            .deleteButton = ui.cmdDeleteLocation,
            .selected = &state.mSelectedLocationItem};
}

constexpr MaintenancePage::Texts PageTexts = {
    .addCaption = QT_TRANSLATE_NOOP("Stowline", "Add Location"),
    .changeCaption = QT_TRANSLATE_NOOP("Stowline", "Change Location"),
    .nameMissing = nullptr,
    .descriptionMissing = QT_TRANSLATE_NOOP("Stowline", "Enter a Location description."),
    .duplicate = QT_TRANSLATE_NOOP(
        "Stowline", "This Storage Location already defined, please enter different Location."),
    .selectToChange = QT_TRANSLATE_NOOP("Stowline", "Please select a Location to change."),
    .selectToDelete = QT_TRANSLATE_NOOP("Stowline", "Please select Storage Location to delete."),
    .confirmDelete = QT_TRANSLATE_NOOP("Stowline", "The selected storage location will be deleted "
                                                   "permanently. Do you want to proceed?"),
    .added = QT_TRANSLATE_NOOP("Stowline", "Storage location has been added successfully!!!!."),
    .addedTitle = QT_TRANSLATE_NOOP("Stowline", "Add Storage Location"),
    .updated = QT_TRANSLATE_NOOP("Stowline", "Storage location has been updated successfully!!!!."),
    .updatedTitle = QT_TRANSLATE_NOOP("Stowline", "Update Storage Location"),
    .deleted = QT_TRANSLATE_NOOP("Stowline", "Storage location has been deleted successfully!!!!"),
    .deletedTitle = QT_TRANSLATE_NOOP("Stowline", "Storage Location Deleted")};

} // namespace

LocationPage::LocationPage(state::ComponentState& state)
    : MaintenancePage(controlsOf(state), PageTexts,
                      {.save = QStringLiteral("AddLocation"),
                       .change = QStringLiteral("ChangeLocation"),
                       .remove = QStringLiteral("DeleteLocation"),
                       .click = QStringLiteral("lstLocation_Click()"),
                       .columnClick = QStringLiteral("lstLocation_ColumnClick()")},
                      {.duplicateByName = false,
                       .nameChangeable = true,
                       .changeShowsItemsFacility = false,
                       .cancelRestoresBoxes = false,
                       .saveSelectsNewItem = false,
                       .updateChecksFacilityFirst = true,
                       .updateShownBeforeBox = false}),
      m_state(state) {
    // Only the description selects its text on focus and never takes an apostrophe.
    controls::TextBox* description = state.ui.txtLocationDesc;
    description->onGotFocus = [description] { selectAll(*description); };
    description->onKeyPress = discardApostrophe;
}

bool LocationPage::StorageLocationExist(const QString& description) {
    return guarded(QStringLiteral("StorageLocationExist"), false, [&](bool& exists) {
        const state::RecordTable<StorageLocationUDT>& locations = m_state.mStorageLocations;
        for (std::size_t i = 1; i < locations.size() && !exists; ++i) {
            exists =
                state::sameText(locations.field(i, &StorageLocationUDT::Description), description);
        }
    });
}

bool LocationPage::exists(const QString& /*name*/, const QString& description) {
    return StorageLocationExist(description);
}

bool LocationPage::facilityChosen(Mode mode) {
    // An update needs a facility shown; a facility text that is no entry fails when it is read.
    controls::DropDown& facilities = *controls().facility;
    if (mode == Mode::Adding || !facilities.shownText().isEmpty()) {
        return true;
    }
    controls::showMessageBox(UiText::tr("Please select a facility."), controls::StyleOk);
    facilities.setFocus();
    return false;
}

QString LocationPage::facilityText() const {
    const controls::DropDown& facilities = *controls().facility;
    return QString::number(facilities.itemData(facilities.listIndex()));
}

service::ExchangeOutcome LocationPage::sendAdd(const QString& name, const QString& description) {
    return m_state.client.AddLocationSOAP(facilityText(), name, description);
}

service::ExchangeOutcome LocationPage::sendUpdate(const controls::ListItemRef& item,
                                                  const QString& name, const QString& description) {
    const qint16 location = state::toInt16(controls().list->tag(item));
    return m_state.client.UpdateStorageLocationSOAP(location, facilityText(), name, description);
}

service::ExchangeOutcome LocationPage::sendDelete(const controls::ListItemRef& item) {
    return m_state.client.DeleteLocationSOAP(state::toInt16(controls().list->tag(item)));
}

void LocationPage::requery() {
    // Facilities and routes cannot change by a bay change, so they are not asked for again.
    requeryLocations(m_state);
    requeryCenters(m_state);
}

} // namespace stowline::pages
