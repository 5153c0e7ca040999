#include "pages/LocationPage.h"

#include "pages/ColumnSort.h"
#include "pages/FieldLook.h"
#include "pages/PageText.h"
#include "pages/Requery.h"
#include "pages/Reselect.h"
#include "platform/MessageBox.h"
#include "platform/UiText.h"
#include "readers/Conversions.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"

namespace stowline::pages {
namespace {

using platform::UiText;

// Storage-location requests carry the facility as decimal text; reading the item data of
// "no entry" fails, before anything is sent.
QString selectedFacilityText(const platform::DropDown& facilities) {
    return QString::number(facilities.itemData(facilities.listIndex()));
}

} // namespace

LocationPage::LocationPage(state::ComponentState& state)
    : m_state(state), m_captions{.addLocation = UiText::tr("Add Location"),
                                 .changeLocation = UiText::tr("Change Location"),
                                 .save = UiText::tr("Save"),
                                 .update = UiText::tr("Update"),
                                 .cancel = UiText::tr("Cancel")} {
    state::ControlSurface& ui = m_state.ui;
    QObject::connect(ui.cmdAddLocation, &QPushButton::clicked, ui.cmdAddLocation,
                     [this] { cmdAddLocation_Click(); });
    QObject::connect(ui.cmdChangeLocation, &QPushButton::clicked, ui.cmdChangeLocation,
                     [this] { cmdChangeLocation_Click(); });
    QObject::connect(ui.cmdDeleteLocation, &QPushButton::clicked, ui.cmdDeleteLocation,
                     [this] { cmdDeleteLocation_Click(); });
    ui.lstLocation->onClick = [this] { lstLocation_Click(); };
    ui.lstLocation->onColumnClick = [this](int column) { lstLocation_ColumnClick(column); };
    ui.txtLocationDesc->onGotFocus = [this] { txtLocationDesc_GotFocus(); };
    ui.txtLocationDesc->onKeyPress = [this](int keyAscii) {
        return txtLocationDesc_KeyPress(keyAscii);
    };
}

void LocationPage::AddLocation() {
    guarded(QStringLiteral("AddLocation"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstLocation;

        if (ui.cmdAddLocation->text() == m_captions.addLocation) {
            enterAddingMode();
            return;
        }

        // Only the description is required; a bay without a name is allowed.
        if (isBlank(ui.txtLocationDesc->text())) {
            platform::showMessageBox(UiText::tr("Enter a Location description."), platform::StyleOk,
                                     informationRequired());
            ui.txtLocationDesc->setFocus();
            return;
        }

        if (ui.cmdAddLocation->text() == m_captions.save) {
            if (StorageLocationExist(ui.txtLocationDesc->text())) {
                platform::showMessageBox(
                    UiText::tr(
                        "This Storage Location already defined, please enter different Location."),
                    platform::StyleOk, informationValidation());
                ui.txtLocationDesc->setFocus();
                return;
            }
            const QString facility = selectedFacilityText(*ui.cboFacility);
            // A refused or unsent add has been reported: keep the operator's input for
            // another try.
            if (!m_state.client.AddLocationSOAP(facility, ui.txtLocationID->text(),
                                                ui.txtLocationDesc->text())) {
                return;
            }

            const platform::ListItemRef item = list.add(ui.txtLocationID->text());
            list.setSubItem(item, 1, ui.txtLocationDesc->text());
            list.setSubItem(item, 2, ui.cboFacility->shownText());
            m_state.mSelectedLocationItem = item;

            platform::showMessageBox(
                UiText::tr("Storage location has been added successfully!!!!."), platform::StyleOk,
                UiText::tr("Add Storage Location"));
            ui.txtLocationID->setFocus();
            finishSave(true, 0);
            return;
        }

        m_state.mSelectedLocationItem = list.selectedItem();
        if (ui.cboFacility->shownText().isEmpty()) {
            platform::showMessageBox(UiText::tr("Please select a facility."), platform::StyleOk);
            ui.cboFacility->setFocus();
            return;
        }
        if (m_state.mSelectedLocationItem.isNothing()) {
            return;
        }
        const int position = list.indexOf(m_state.mSelectedLocationItem);
        const qint16 locationId = readers::toInt16(list.tag(m_state.mSelectedLocationItem));
        const QString facility = selectedFacilityText(*ui.cboFacility);
        if (!m_state.client.UpdateStorageLocationSOAP(
                locationId, facility, ui.txtLocationID->text(), ui.txtLocationDesc->text())) {
            return;
        }

        platform::showMessageBox(UiText::tr("Storage location has been updated successfully!!!!."),
                                 platform::StyleOk, UiText::tr("Update Storage Location"));
        const platform::ListItemRef selected = list.selectedItem();
        list.setSubItem(selected, 1, ui.txtLocationDesc->text());
        list.setSubItem(selected, 2, ui.cboFacility->shownText());
        finishSave(false, position);
    });
}

void LocationPage::finishSave(bool added, int position) {
    state::ControlSurface& ui = m_state.ui;
    platform::ListView& list = *ui.lstLocation;

    const QString description = ui.txtLocationDesc->text();
    makeReadOnly(*ui.cboFacility);
    ui.cboFacility->clearShownText();
    makeReadOnly(*ui.txtLocationDesc);
    makeReadOnly(*ui.txtLocationID);
    ui.cmdAddLocation->setText(m_captions.addLocation);
    ui.cmdChangeLocation->setText(m_captions.changeLocation);
    ui.cmdDeleteLocation->setEnabled(true);
    ui.fraLocationList->setEnabled(true);

    refreshAfterChange();

    if (added) {
        selectFirstWithDescription(list, description);
    } else if (!selectPosition(list, position)) {
        // The bay at that position is gone: the page shows nothing rather than a
        // neighbour's values.
        ui.txtLocationID->clear();
        ui.txtLocationDesc->clear();
    }
    lstLocation_Click();
}

void LocationPage::ChangeLocation() {
    guarded(QStringLiteral("ChangeLocation"), [&] {
        if (m_state.ui.cmdChangeLocation->text() == m_captions.changeLocation) {
            if (m_state.mSelectedLocationItem.isNothing()) {
                platform::showMessageBox(UiText::tr("Please select a Location to change."),
                                         platform::StyleOk, informationRequired());
                return;
            }
            enterChangingMode();
        } else {
            cancelEdit();
        }
    });
}

void LocationPage::DeleteLocation() {
    guarded(QStringLiteral("DeleteLocation"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstLocation;

        if (m_state.mSelectedLocationItem.isNothing()) {
            platform::showMessageBox(UiText::tr("Please select Storage Location to delete."),
                                     platform::StyleOk, informationRequired());
            return;
        }
        const int answer =
            platform::showMessageBox(UiText::tr("The selected storage location will be deleted "
                                                "permanently. Do you want to proceed?"),
                                     platform::StyleYesNo, informationValidation());
        if (answer != platform::AnswerYes) {
            return;
        }

        m_state.mSelectedLocationItem = list.selectedItem();
        if (m_state.mSelectedLocationItem.isNothing()) {
            return;
        }
        const int position = list.indexOf(m_state.mSelectedLocationItem);
        const qint16 locationId = readers::toInt16(list.tag(m_state.mSelectedLocationItem));
        if (!m_state.client.DeleteLocationSOAP(locationId)) {
            return;
        }

        list.removeAt(position);
        ui.txtLocationID->clear();
        ui.txtLocationDesc->clear();

        refreshAfterChange();

        if (list.count() > 0) {
            list.select(list.itemAt(list.count()));
        }
        lstLocation_Click();

        platform::showMessageBox(UiText::tr("Storage location has been deleted successfully!!!!"),
                                 platform::StyleOk, UiText::tr("Storage Location Deleted"));
    });
}

bool LocationPage::StorageLocationExist(const QString& description) {
    return guarded(QStringLiteral("StorageLocationExist"), false, [&](bool& exists) {
        const std::vector<StorageLocationUDT>& locations = m_state.mStorageLocations;
        for (std::size_t i = 1; i < locations.size(); ++i) {
            if (locations[i].Description == description) {
                exists = true;
                return;
            }
        }
    });
}

void LocationPage::lstLocation_Click() {
    guarded(QStringLiteral("lstLocation_Click()"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstLocation;

        m_state.mSelectedLocationItem = list.selectedItem();
        if (m_state.mSelectedLocationItem.isNothing()) {
            // Nothing selected (the operator cleared the selection, or the list is empty): the
            // boxes show nothing rather than a row the list no longer marks.
            ui.txtLocationID->clear();
            ui.txtLocationDesc->clear();
            return;
        }
        const platform::ListItemRef item = m_state.mSelectedLocationItem;
        list.setFocus();
        ui.txtLocationID->setText(list.text(item));
        ui.txtLocationDesc->setText(list.subItem(item, 1));
        ui.cmdAddLocation->setEnabled(true);
        ui.cmdChangeLocation->setEnabled(true);
        ui.cboFacility->selectEntryWithText(list.subItem(item, 2));
        list.setHideSelection(false);
    });
}

void LocationPage::lstLocation_ColumnClick(int columnIndex) {
    guarded(QStringLiteral("lstLocation_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstLocation, columnIndex); });
}

void LocationPage::txtLocationDesc_GotFocus() {
    platform::TextBox& box = *m_state.ui.txtLocationDesc;
    box.setSelection(0, static_cast<int>(box.text().size()));
}

int LocationPage::txtLocationDesc_KeyPress(int keyAscii) {
    return discardApostrophe(keyAscii);
}

void LocationPage::enterAddingMode() {
    state::ControlSurface& ui = m_state.ui;
    ui.cmdAddLocation->setText(m_captions.save);
    ui.cmdChangeLocation->setText(m_captions.cancel);
    ui.cmdDeleteLocation->setEnabled(false);
    ui.fraLocationList->setEnabled(false);
    ui.txtLocationID->setBackColour(platform::windowBackgroundColour());
    ui.txtLocationID->clear();
    ui.txtLocationID->setLocked(false);
    ui.txtLocationID->setFocus();
    makeEditable(*ui.cboFacility);
    if (ui.cboFacility->listCount() > 0) {
        ui.cboFacility->setListIndex(0);
    }
    ui.txtLocationDesc->clear();
    makeEditable(*ui.txtLocationDesc);
    ui.lstLocation->setHideSelection(true);
    m_state.mSelectedLocationItem = {};
}

void LocationPage::enterChangingMode() {
    // The boxes keep what the last list click put there.
    state::ControlSurface& ui = m_state.ui;
    makeEditable(*ui.cboFacility);
    ui.cmdAddLocation->setText(m_captions.update);
    ui.cmdChangeLocation->setText(m_captions.cancel);
    ui.cmdDeleteLocation->setEnabled(false);
    ui.fraLocationList->setEnabled(false);
    makeEditable(*ui.txtLocationDesc);
    makeEditable(*ui.txtLocationID);
    ui.txtLocationID->setFocus();
}

void LocationPage::cancelEdit() {
    // Unlike the route page, the typed texts stay in the boxes.
    state::ControlSurface& ui = m_state.ui;
    makeReadOnly(*ui.cboFacility);
    ui.cmdAddLocation->setText(m_captions.addLocation);
    ui.cmdChangeLocation->setText(m_captions.changeLocation);
    ui.cmdDeleteLocation->setEnabled(true);
    ui.fraLocationList->setEnabled(true);
    makeReadOnly(*ui.txtLocationDesc);
    makeReadOnly(*ui.txtLocationID);
    if (!m_state.mSelectedLocationItem.isNothing()) {
        ui.lstLocation->setFocus();
    }
}

void LocationPage::refreshAfterChange() {
    // Facilities and routes cannot change by a bay change, so they are not asked for again.
    requeryLocations(m_state);
    requeryCenters(m_state);
}

} // namespace stowline::pages
