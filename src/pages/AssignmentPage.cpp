#include "pages/AssignmentPage.h"

#include "controls/ActionScope.h"
#include "controls/MessageBox.h"
#include "controls/SystemColours.h"
#include "controls/UiText.h"
#include "failures/StowlineError.h"
#include "pages/ChangeOutcome.h"
#include "pages/ColumnSort.h"
#include "pages/Requery.h"
#include "readers/Readers.h"
#include "reporting/Guarded.h"
#include "state/ComponentState.h"
#include "state/KeyConversions.h"

#include <cmath>
#include <optional>

namespace stowline::pages {
namespace {

using controls::UiText;

// The route ID column compared with a pick-list key. A center without a route has an empty
// column (the service leaves NULL out), which matches only a placeholder's 0 instead of being
// reported on every click; other text that is no number fails.
double routeIdNumber(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return 0;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        raiseTypeMismatch();
    }
    return number;
}

// The key an assignment sends for a pick list: the chosen entry's, or, with none chosen, the
// one the center already has (0 for none).
qint16 chosenKey(const controls::DropDown& pickList, const QString& centersKey) {
    if (pickList.listIndex() >= 0) {
        return state::toInt16(qint64{pickList.itemData(pickList.listIndex())});
    }
    return centersKey.trimmed().isEmpty() ? qint16{0} : state::toInt16(centersKey);
}

// Shows the entry that matches the center's own, or none. A list holding only its placeholder
// keeps it: it has nothing to offer, and sends 0.
template <typename Matches> void showCentersEntry(controls::DropDown& pickList, Matches&& matches) {
    if (pickList.locked()) {
        return;
    }
    for (int i = 0; i < pickList.listCount(); ++i) {
        if (matches(i)) {
            pickList.setListIndex(i);
            return;
        }
    }
    pickList.setListIndex(-1);
}

// The key of the entry the operator chose, to choose it again once the list is refilled.
std::optional<qint32> chosenEntryKey(const controls::DropDown& pickList) {
    return pickList.listIndex() >= 0 ? std::optional(pickList.itemData(pickList.listIndex()))
                                     : std::nullopt;
}

void chooseEntryWithKey(controls::DropDown& pickList, std::optional<qint32> key) {
    for (int i = 0; key && i < pickList.listCount(); ++i) {
        if (pickList.itemData(i) == *key) {
            pickList.setListIndex(i);
            return;
        }
    }
}

void showPickListLook(controls::DropDown& pickList, bool editable) {
    pickList.setEnabled(editable);
    pickList.setBackColour(editable ? controls::windowBackgroundColour()
                                    : controls::buttonFaceColour());
}

} // namespace

AssignmentPage::AssignmentPage(state::ComponentState& state)
    : m_state(state), m_captions{.idle = UiText::tr("Change Route/Location"),
                                 .edit = UiText::tr("Update")} {
    surface::ControlSurface& ui = m_state.ui;
    QObject::connect(ui.cmdChangeStowline, &QPushButton::clicked, ui.cmdChangeStowline,
                     [this] { cmdChangeStowline_Click(); });
    QObject::connect(ui.cmdCancelStowline, &QPushButton::clicked, ui.cmdCancelStowline,
                     [this] { cmdCancelStowline_Click(); });
    // An option button's click is its becoming the chosen one, by the operator or by code.
    QObject::connect(ui.optActiveCenters, &QRadioButton::toggled, ui.optActiveCenters,
                     [this](bool checked) {
                         if (checked) {
                             optActiveCenters_Click();
                         }
                     });
    QObject::connect(ui.optAllCenters, &QRadioButton::toggled, ui.optAllCenters,
                     [this](bool checked) {
                         if (checked) {
                             optAllCenters_Click();
                         }
                     });
    ui.lstStowline->onClick = [this] { lstStowline_Click(); };
    ui.lstStowline->onColumnClick = [this](int column) { lstStowline_ColumnClick(column); };
    ui.cboFacility2->onClick = [this] { cboFacility2_Click(); };
}

void AssignmentPage::cmdChangeStowline_Click() {
    const controls::ActionScope action(m_state.ui.cmdChangeStowline);
    ChangeStowline();
}

void AssignmentPage::ChangeStowline() {
    guarded(QStringLiteral("ChangeStowline"), [&] {
        if (!m_editMode) {
            enterEditMode();
        } else {
            sendAssignment();
        }
    });
}

void AssignmentPage::enterEditMode() {
    surface::ControlSurface& ui = m_state.ui;
    if (m_state.mSelectedCenterItem.isNothing()) {
        controls::showMessageBox(
            UiText::tr("Please select center to assign Delivery Route and/or Storage Loaction."),
            controls::StyleOk, UiText::tr("Information Required"));
        return;
    }
    showMode(true);
    ui.cmdCancelStowline->setEnabled(true);
    showPickListLook(*ui.cboLocation, true);
    showPickListLook(*ui.cboRoute, true);
    ui.cboRoute->setFocus();
}

void AssignmentPage::sendAssignment() {
    surface::ControlSurface& ui = m_state.ui;
    controls::ListView& list = *ui.lstStowline;

    // After a re-filter the list may have no selected item: reading it fails here, before
    // anything is sent, and the page stays in edit mode.
    m_state.mSelectedCenterItem = list.selectedItem();
    const int position = list.indexOf(m_state.mSelectedCenterItem);
    const auto center = list.tag(m_state.mSelectedCenterItem).value<RouteAndLocationsUDT>();

    const qint16 facilityId = state::toInt16(m_state.mSelectedFacilityID);
    const qint16 centerId = state::toInt16(center.CenterID);
    const qint16 routeId = chosenKey(*ui.cboRoute, center.DeliveryRouteID);
    const qint16 locationId = chosenKey(*ui.cboLocation, center.StorageLocationID);
    if (!changeAccepted(m_state.client.UpdateCenterRouteAndStorageLocationSOAP(facilityId, centerId,
                                                                               routeId, locationId),
                        [&] { requeryKeepingChoices(center.CenterID); })) {
        return;
    }

    requeryCenters(m_state);
    if (position <= list.count()) {
        list.select(list.itemAt(position));
        lstStowline_Click();
    } else {
        // The center's position is gone: nothing is taken as selected.
        m_state.mSelectedCenterItem = {};
    }
    showIdleLook();
}

void AssignmentPage::requeryKeepingChoices(const QString& centerId) {
    surface::ControlSurface& ui = m_state.ui;
    const int facility = ui.cboFacility2->listIndex();
    const std::optional<qint32> route = chosenEntryKey(*ui.cboRoute);
    const std::optional<qint32> location = chosenEntryKey(*ui.cboLocation);
    requeryCenters(m_state);
    controls::ListView& list = *ui.lstStowline;
    // The center's ID is its item's text. A center the filter now hides is shown again.
    const controls::ListItemRef center =
        list.findItem([&](const controls::ListItemRef& i) { return list.text(i) == centerId; });
    if (!center.isNothing()) {
        list.select(center);
    }
    lstStowline_Click();
    if (facility >= 0) {
        ui.cboFacility2->setListIndex(facility);
    }
    chooseEntryWithKey(*ui.cboRoute, route);
    chooseEntryWithKey(*ui.cboLocation, location);
    showPickListLook(*ui.cboLocation, true);
    showPickListLook(*ui.cboRoute, true);
}

void AssignmentPage::showIdleLook() {
    surface::ControlSurface& ui = m_state.ui;
    showMode(false);
    ui.cmdCancelStowline->setEnabled(false);
    showPickListLook(*ui.cboLocation, false);
    showPickListLook(*ui.cboRoute, false);
}

void AssignmentPage::showMode(bool edit) {
    m_editMode = edit;
    m_state.ui.cmdChangeStowline->setText(edit ? m_captions.edit : m_captions.idle);
}

void AssignmentPage::ResetStowlineEdit() {
    showIdleLook();
}

void AssignmentPage::cmdCancelStowline_Click() {
    const controls::ActionScope action(m_state.ui.cmdCancelStowline);
    guarded(QStringLiteral("cmdCancelStowline_Click()"), [&] {
        surface::ControlSurface& ui = m_state.ui;
        if (ui.lstStowline->count() > 0) {
            lstStowline_Click();
        }
        showPickListLook(*ui.cboRoute, false);
        showPickListLook(*ui.cboLocation, false);
        showMode(false);
        ui.cmdChangeStowline->setEnabled(true);
        ui.cmdCancelStowline->setEnabled(false);
    });
}

void AssignmentPage::lstStowline_Click() {
    const controls::ActionScope action(m_state.ui.lstStowline);
    guarded(QStringLiteral("lstStowline_Click()"), [&] {
        surface::ControlSurface& ui = m_state.ui;
        controls::ListView& list = *ui.lstStowline;
        m_state.mSelectedCenterItem = list.selectedItem();
        if (m_state.mSelectedCenterItem.isNothing()) {
            return;
        }
        const controls::ListItemRef item = m_state.mSelectedCenterItem;
        const auto center = list.tag(item).value<RouteAndLocationsUDT>();

        controls::DropDown& facility = *ui.cboFacility2;
        facility.selectEntryWithText(list.subItem(item, 4));
        m_state.mSelectedFacilityID = QString::number(facility.itemData(facility.listIndex()));
        readers::RefreshRouteComboBox(m_state);
        readers::RefreshStorageLocationComboBox(m_state);

        // The bay is found by the text its entry shows, the route by its key. A pick list with
        // no entry for the center's own shows none chosen, so that an untouched Update keeps
        // what the center has instead of assigning an entry nobody chose.
        const QString locationText =
            center.StorageLocationID.isEmpty()
                ? center.Location
                : center.Location + QLatin1Char('(') + center.StorageLocationID + QLatin1Char(')');
        showCentersEntry(*ui.cboLocation,
                         [&](int i) { return ui.cboLocation->entryText(i) == locationText; });
        const double routeId = routeIdNumber(list.subItem(item, 7));
        showCentersEntry(*ui.cboRoute, [&](int i) {
            return routeId == static_cast<double>(ui.cboRoute->itemData(i));
        });
    });
}

void AssignmentPage::lstStowline_ColumnClick(int columnIndex) {
    const controls::ActionScope action(m_state.ui.lstStowline);
    guarded(QStringLiteral("lstStowline_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstStowline, columnIndex); });
}

void AssignmentPage::cboFacility2_Click() {
    const controls::ActionScope action(m_state.ui.cboFacility2);
    guarded(QStringLiteral("cboFacility2_Click()"), [&] {
        controls::DropDown& facility = *m_state.ui.cboFacility2;
        m_state.mSelectedFacilityID = QString::number(facility.itemData(facility.listIndex()));
        readers::RefreshRouteComboBox(m_state);
        readers::RefreshStorageLocationComboBox(m_state);
    });
}

void AssignmentPage::optActiveCenters_Click() {
    const controls::ActionScope action(m_state.ui.optActiveCenters);
    refilterCenters(true);
}

void AssignmentPage::optAllCenters_Click() {
    const controls::ActionScope action(m_state.ui.optAllCenters);
    refilterCenters(false);
}

void AssignmentPage::refilterCenters(bool activeOnly) {
    // The stored answer is filtered again; the service is not asked.
    readers::RefreshStowlineData(m_state, activeOnly);
    if (m_editMode) {
        ResetStowlineEdit();
    }
}

} // namespace stowline::pages
