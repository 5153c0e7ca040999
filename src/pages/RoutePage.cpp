#include "pages/RoutePage.h"

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
using platform::UiText;

RoutePage::RoutePage(state::ComponentState& state)
    : m_state(state), m_captions{.addRoute = UiText::tr("Add Route"),
                                 .changeRoute = UiText::tr("Change Route"),
                                 .save = UiText::tr("Save"),
                                 .update = UiText::tr("Update"),
                                 .cancel = UiText::tr("Cancel")} {
    state::ControlSurface& ui = m_state.ui;
    QObject::connect(ui.cmdAddRoute, &QPushButton::clicked, ui.cmdAddRoute,
                     [this] { cmdAddRoute_Click(); });
    QObject::connect(ui.cmdChangeRoute, &QPushButton::clicked, ui.cmdChangeRoute,
                     [this] { cmdChangeRoute_Click(); });
    QObject::connect(ui.cmdDeleteRoute, &QPushButton::clicked, ui.cmdDeleteRoute,
                     [this] { cmdDeleteRoute_Click(); });
    ui.lstRoute->onClick = [this] { lstRoute_Click(); };
    ui.lstRoute->onColumnClick = [this](int column) { lstRoute_ColumnClick(column); };
    ui.txtRoute->onGotFocus = [this] { txtRoute_GotFocus(); };
    ui.txtRoute->onKeyPress = [this](int keyAscii) { return txtRoute_KeyPress(keyAscii); };
    ui.txtRouteDesc->onGotFocus = [this] { txtRouteDesc_GotFocus(); };
    ui.txtRouteDesc->onKeyPress = [this](int keyAscii) { return txtRouteDesc_KeyPress(keyAscii); };
}

void RoutePage::AddRoute() {
    guarded(QStringLiteral("AddRoute"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstRoute;

        if (ui.cmdAddRoute->text() == m_captions.addRoute) {
            enterAddingMode();
            return;
        }

        if (isBlank(ui.txtRoute->text())) {
            platform::showMessageBox(UiText::tr("Enter a route"), platform::StyleOk,
                                     informationRequired());
            ui.txtRoute->setFocus();
            return;
        }
        if (isBlank(ui.txtRouteDesc->text())) {
            platform::showMessageBox(UiText::tr("Enter a route description"), platform::StyleOk,
                                     informationRequired());
            ui.txtRouteDesc->setFocus();
            return;
        }
        const QString description = ui.txtRouteDesc->text();

        const bool adding = ui.cmdAddRoute->text() == m_captions.save;
        int position = 0;
        if (adding) {
            if (RouteExist(ui.txtRoute->text())) {
                platform::showMessageBox(
                    UiText::tr("This route already exists. Enter a different route."),
                    platform::StyleOk, informationValidation());
                ui.txtRoute->setFocus();
                return;
            }
            if (!facilityChosen()) {
                return;
            }
            const qint16 facilityId =
                readers::toInt16(qint64{ui.cboFacility3->itemData(ui.cboFacility3->listIndex())});
            // A refused or unsent add has been reported: keep the operator's input for
            // another try.
            if (!m_state.client.AddRouteSOAP(facilityId, ui.txtRoute->text(), description)) {
                return;
            }

            const platform::ListItemRef item = list.add(ui.txtRoute->text());
            list.setSubItem(item, 1, ui.txtRouteDesc->text());
            list.setSubItem(item, 2, ui.cboFacility3->shownText());
            m_state.mSelectedRouteItem = item;
            list.select(item);

            platform::showMessageBox(UiText::tr("Route has been added successfully!!!!"),
                                     platform::StyleOk, UiText::tr("Route Added"));
            ui.txtRoute->setFocus();
            makeReadOnly(*ui.cboFacility3);
            ui.cboFacility3->clearShownText();
        } else {
            m_state.mSelectedRouteItem = list.selectedItem();
            if (m_state.mSelectedRouteItem.isNothing()) {
                return;
            }
            position = list.indexOf(m_state.mSelectedRouteItem);
            if (!facilityChosen()) {
                return;
            }
            const qint16 facilityId =
                readers::toInt16(qint64{ui.cboFacility3->itemData(ui.cboFacility3->listIndex())});
            const qint16 routeId = readers::toInt16(list.tag(m_state.mSelectedRouteItem));
            if (!m_state.client.UpdateRouteSOAP(facilityId, routeId, ui.txtRoute->text(),
                                                description)) {
                return;
            }

            makeReadOnly(*ui.cboFacility3);
            ui.cboFacility3->clearShownText();
            const platform::ListItemRef selected = list.selectedItem();
            list.setText(selected, ui.txtRoute->text());
            list.setSubItem(selected, 1, ui.txtRouteDesc->text());

            platform::showMessageBox(UiText::tr("Route has been updated successfully!!!!"),
                                     platform::StyleOk, UiText::tr("Update Route"));
        }

        backToIdle();
        refreshAfterChange();

        if (adding) {
            selectFirstWithDescription(list, description);
        } else if (!selectPosition(list, position)) {
            // The route at that position is gone: the page shows nothing rather than a
            // neighbour's values.
            ui.txtRoute->clear();
            ui.txtRouteDesc->clear();
        }
        lstRoute_Click();
    });
}

void RoutePage::ChangeRoute() {
    guarded(QStringLiteral("ChangeRoute"), [&] {
        if (m_state.ui.cmdChangeRoute->text() == m_captions.changeRoute) {
            if (m_state.mSelectedRouteItem.isNothing()) {
                platform::showMessageBox(UiText::tr("Please select a route to change."),
                                         platform::StyleOk, informationRequired());
                return;
            }
            enterChangingMode();
        } else {
            cancelEdit();
        }
    });
}

void RoutePage::DeleteRoute() {
    guarded(QStringLiteral("DeleteRoute"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstRoute;

        if (m_state.mSelectedRouteItem.isNothing()) {
            platform::showMessageBox(UiText::tr("Please select Route to delete."),
                                     platform::StyleOk, informationRequired());
            return;
        }
        const int answer = platform::showMessageBox(
            UiText::tr("The selected route will be deleted permanently. Do you want to proceed?"),
            platform::StyleYesNo, informationValidation());
        if (answer != platform::AnswerYes) {
            return;
        }

        m_state.mSelectedRouteItem = list.selectedItem();
        if (m_state.mSelectedRouteItem.isNothing()) {
            return;
        }
        const int position = list.indexOf(m_state.mSelectedRouteItem);
        const qint16 routeId = readers::toInt16(list.tag(m_state.mSelectedRouteItem));
        if (!m_state.client.DeleteRouteSOAP(routeId)) {
            return;
        }

        list.removeAt(position);
        ui.txtRoute->clear();
        ui.txtRouteDesc->clear();

        refreshAfterChange();

        if (list.count() > 0) {
            list.select(list.itemAt(list.count()));
        }
        lstRoute_Click();

        platform::showMessageBox(UiText::tr("Route has been deleted successfully!!!!"),
                                 platform::StyleOk, UiText::tr("Route Deleted"));
    });
}

bool RoutePage::RouteExist(const QString& route) {
    return guarded(QStringLiteral("RouteExist"), false, [&](bool& exists) {
        const std::vector<RouteUDT>& routes = m_state.mRoutes;
        for (std::size_t i = 1; i < routes.size(); ++i) {
            if (routes[i].Route == route) {
                exists = true;
                return;
            }
        }
    });
}

void RoutePage::lstRoute_Click() {
    guarded(QStringLiteral("lstRoute_Click()"), [&] {
        state::ControlSurface& ui = m_state.ui;
        platform::ListView& list = *ui.lstRoute;

        m_state.mSelectedRouteItem = list.selectedItem();
        if (m_state.mSelectedRouteItem.isNothing()) {
            // Nothing selected (the operator cleared the selection, or the list is empty): the
            // boxes show nothing rather than a row the list no longer marks.
            ui.txtRoute->clear();
            ui.txtRouteDesc->clear();
            return;
        }
        const platform::ListItemRef item = m_state.mSelectedRouteItem;
        list.setFocus();
        ui.txtRoute->setText(list.text(item));
        ui.txtRouteDesc->setText(list.subItem(item, 1));
        ui.cmdAddRoute->setEnabled(true);
        ui.cmdChangeRoute->setEnabled(true);
        ui.cboFacility3->selectEntryWithText(list.subItem(item, 2));
        list.setHideSelection(false);
    });
}

void RoutePage::lstRoute_ColumnClick(int columnIndex) {
    guarded(QStringLiteral("lstRoute_ColumnClick()"),
            [&] { applyColumnClick(*m_state.ui.lstRoute, columnIndex); });
}

void RoutePage::txtRoute_GotFocus() {
    platform::TextBox& box = *m_state.ui.txtRoute;
    box.setSelection(0, static_cast<int>(box.text().size()));
}

void RoutePage::txtRouteDesc_GotFocus() {
    platform::TextBox& box = *m_state.ui.txtRouteDesc;
    box.setSelection(0, static_cast<int>(box.text().size()));
}

int RoutePage::txtRoute_KeyPress(int keyAscii) {
    return discardApostrophe(keyAscii);
}

int RoutePage::txtRouteDesc_KeyPress(int keyAscii) {
    return discardApostrophe(keyAscii);
}

void RoutePage::enterAddingMode() {
    state::ControlSurface& ui = m_state.ui;
    makeEditable(*ui.cboFacility3);
    if (ui.cboFacility3->listCount() > 0) {
        ui.cboFacility3->setListIndex(0);
    }
    ui.cmdAddRoute->setText(m_captions.save);
    ui.cmdChangeRoute->setText(m_captions.cancel);
    ui.cmdDeleteRoute->setEnabled(false);
    ui.fraRouteList->setEnabled(false);
    ui.txtRoute->clear();
    ui.txtRouteDesc->clear();
    makeEditable(*ui.txtRoute);
    makeEditable(*ui.txtRouteDesc);
    ui.txtRoute->setFocus();
    m_state.mSelectedRouteItem = {};
    ui.lstRoute->setHideSelection(true);
}

void RoutePage::enterChangingMode() {
    state::ControlSurface& ui = m_state.ui;
    makeEditable(*ui.cboFacility3);
    ui.cboFacility3->selectEntryWithText(ui.lstRoute->subItem(m_state.mSelectedRouteItem, 2));
    ui.cmdAddRoute->setText(m_captions.update);
    ui.cmdChangeRoute->setText(m_captions.cancel);
    ui.cmdDeleteRoute->setEnabled(false);
    ui.fraRouteList->setEnabled(false);
    // The route name is the route's identity to the operator: only its description and
    // facility change.
    makeReadOnly(*ui.txtRoute);
    makeEditable(*ui.txtRouteDesc);
    ui.txtRouteDesc->setFocus();
}

void RoutePage::cancelEdit() {
    state::ControlSurface& ui = m_state.ui;
    platform::ListView& list = *ui.lstRoute;
    makeReadOnly(*ui.cboFacility3);
    ui.cmdAddRoute->setText(m_captions.addRoute);
    ui.cmdChangeRoute->setText(m_captions.changeRoute);
    ui.cmdDeleteRoute->setEnabled(true);
    ui.fraRouteList->setEnabled(true);

    // With nothing selected (an empty list) there is nothing to restore: the boxes are emptied
    // so that no abandoned input looks saved.
    const platform::ListItemRef selected = list.selectedItem();
    ui.txtRoute->setText(selected.isNothing() ? QString() : list.text(selected));
    makeReadOnly(*ui.txtRoute);
    ui.txtRouteDesc->setText(selected.isNothing() ? QString() : list.subItem(selected, 1));
    makeReadOnly(*ui.txtRouteDesc);
    if (!m_state.mSelectedRouteItem.isNothing()) {
        list.setFocus();
    }
}

void RoutePage::backToIdle() {
    state::ControlSurface& ui = m_state.ui;
    makeReadOnly(*ui.txtRoute);
    makeReadOnly(*ui.txtRouteDesc);
    ui.cmdAddRoute->setText(m_captions.addRoute);
    ui.cmdChangeRoute->setText(m_captions.changeRoute);
    ui.cmdDeleteRoute->setEnabled(true);
    ui.fraRouteList->setEnabled(true);
}

void RoutePage::refreshAfterChange() {
    // Facilities and bays cannot change by a route change, so they are not asked for again.
    requeryRoutes(m_state);
    requeryCenters(m_state);
}

bool RoutePage::facilityChosen() {
    platform::DropDown& facilities = *m_state.ui.cboFacility3;
    if (facilities.listIndex() >= 0) {
        return true;
    }
    platform::showMessageBox(UiText::tr("Please select a facility."), platform::StyleOk);
    facilities.setFocus();
    return false;
}

} // namespace stowline::pages
