#include "pages/MaintenancePage.h"

#include "controls/ActionScope.h"
#include "controls/MessageBox.h"
#include "controls/UiText.h"
#include "pages/ChangeOutcome.h"
#include "pages/ColumnSort.h"
#include "pages/FieldLook.h"
#include "pages/PageText.h"
#include "pages/Reselect.h"
#include "reporting/Guarded.h"

namespace stowline::pages {

using controls::UiText;

MaintenancePage::MaintenancePage(const Controls& controls, const Texts& texts,
                                 Procedures procedures, Rules rules)
    : m_controls(controls), m_texts(texts), m_procedures(std::move(procedures)), m_rules(rules),
      m_addCaption(UiText::tr(texts.addCaption)), m_changeCaption(UiText::tr(texts.changeCaption)),
      m_saveCaption(UiText::tr("Save")), m_updateCaption(UiText::tr("Update")),
      m_cancelCaption(UiText::tr("Cancel")) {
    controls::ListView& list = *m_controls.list;
    QObject::connect(m_controls.addButton, &QPushButton::clicked, m_controls.addButton,
                     [this] { saveOrAdd(); });
    QObject::connect(m_controls.changeButton, &QPushButton::clicked, m_controls.changeButton,
                     [this] { changeOrCancel(); });
    QObject::connect(m_controls.deleteButton, &QPushButton::clicked, m_controls.deleteButton,
                     [this] { deleteSelected(); });
    list.onClick = [this] { listClicked(); };
    list.onColumnClick = [this](int column) { columnClicked(column); };
}

void MaintenancePage::saveOrAdd() {
    const controls::ActionScope action(m_controls.addButton);
    guarded(m_procedures.save, [&] {
        if (m_mode == Mode::Idle) {
            enterAddingMode();
            return;
        }
        if (!inputComplete()) {
            return;
        }
        const QString description = m_controls.descriptionBox->text();
        if (m_mode == Mode::Adding) {
            add(description);
        } else {
            update(description);
        }
    });
}

void MaintenancePage::changeOrCancel() {
    const controls::ActionScope action(m_controls.changeButton);
    guarded(m_procedures.change, [&] {
        if (m_mode != Mode::Idle) {
            cancel();
        } else if (m_controls.selected->isNothing()) {
            tell(m_texts.selectToChange, InformationRequired);
        } else {
            enterChangingMode();
        }
    });
}

void MaintenancePage::deleteSelected() {
    const controls::ActionScope action(m_controls.deleteButton);
    guarded(m_procedures.remove, [&] {
        const Controls& c = m_controls;
        if (c.selected->isNothing()) {
            tell(m_texts.selectToDelete, InformationRequired);
            return;
        }
        if (controls::showMessageBox(UiText::tr(m_texts.confirmDelete), controls::StyleYesNo,
                                     UiText::tr(InformationValidation)) != controls::AnswerYes) {
            return;
        }
        *c.selected = c.list->selectedItem();
        if (c.selected->isNothing()) {
            return;
        }
        const int position = c.list->indexOf(*c.selected);
        const QVariant key = c.list->tag(*c.selected);
        if (!accepted(sendDelete(*c.selected), key)) {
            return;
        }

        c.list->removeAt(position);
        c.nameBox->clear();
        c.descriptionBox->clear();
        requery();
        if (c.list->count() > 0) {
            c.list->select(c.list->itemAt(c.list->count()));
        }
        listClicked();
        tell(m_texts.deleted, m_texts.deletedTitle);
    });
}

void MaintenancePage::listClicked() {
    const controls::ActionScope action(m_controls.list);
    guarded(m_procedures.click, [&] {
        const Controls& c = m_controls;
        *c.selected = c.list->selectedItem();
        if (c.selected->isNothing()) {
            // Nothing selected (the operator cleared the selection, or the list is empty): the
            // boxes show nothing rather than a row the list no longer marks.
            c.nameBox->clear();
            c.descriptionBox->clear();
            return;
        }
        const controls::ListItemRef item = *c.selected;
        c.list->setFocus();
        c.nameBox->setText(c.list->text(item));
        c.descriptionBox->setText(c.list->subItem(item, 1));
        c.addButton->setEnabled(true);
        c.changeButton->setEnabled(true);
        c.facility->selectEntryWithText(c.list->subItem(item, 2));
        c.list->setHideSelection(false);
    });
}

void MaintenancePage::columnClicked(int columnIndex) {
    const controls::ActionScope action(m_controls.list);
    guarded(m_procedures.columnClick, [&] { applyColumnClick(*m_controls.list, columnIndex); });
}

void MaintenancePage::selectAll(controls::TextBox& box) {
    box.setSelection(0, static_cast<int>(box.text().size()));
}

void MaintenancePage::showMode(Mode mode) {
    const Controls& c = m_controls;
    m_mode = mode;
    c.addButton->setText(mode == Mode::Idle     ? m_addCaption
                         : mode == Mode::Adding ? m_saveCaption
                                                : m_updateCaption);
    c.changeButton->setText(mode == Mode::Idle ? m_changeCaption : m_cancelCaption);
    // While the page edits, the list cannot be used and nothing can be deleted.
    c.deleteButton->setEnabled(mode == Mode::Idle);
    c.listFrame->setEnabled(mode == Mode::Idle);
}

void MaintenancePage::enterAddingMode() {
    const Controls& c = m_controls;
    makeEditable(*c.facility);
    if (c.facility->listCount() > 0) {
        c.facility->setListIndex(0);
    }
    showMode(Mode::Adding);
    c.nameBox->clear();
    c.descriptionBox->clear();
    makeEditable(*c.nameBox);
    makeEditable(*c.descriptionBox);
    c.nameBox->setFocus();
    *c.selected = {};
    c.list->setHideSelection(true);
}

void MaintenancePage::enterChangingMode() {
    const Controls& c = m_controls;
    makeEditable(*c.facility);
    if (m_rules.changeShowsItemsFacility) {
        c.facility->selectEntryWithText(c.list->subItem(*c.selected, 2));
    }
    showMode(Mode::Changing);
    if (m_rules.nameChangeable) {
        makeEditable(*c.nameBox);
    } else {
        makeReadOnly(*c.nameBox);
    }
    makeEditable(*c.descriptionBox);
    (m_rules.nameChangeable ? c.nameBox : c.descriptionBox)->setFocus();
}

void MaintenancePage::cancel() {
    const Controls& c = m_controls;
    makeReadOnly(*c.facility);
    showMode(Mode::Idle);
    if (m_rules.cancelRestoresBoxes) {
        // With nothing selected (an empty list) there is nothing to restore: the boxes are
        // emptied so that no abandoned input looks saved.
        const controls::ListItemRef shown = c.list->selectedItem();
        c.nameBox->setText(shown.isNothing() ? QString() : c.list->text(shown));
        c.descriptionBox->setText(shown.isNothing() ? QString() : c.list->subItem(shown, 1));
    }
    makeReadOnly(*c.nameBox);
    makeReadOnly(*c.descriptionBox);
    if (!c.selected->isNothing()) {
        c.list->setFocus();
    }
}

bool MaintenancePage::inputComplete() {
    const Controls& c = m_controls;
    if (m_texts.nameMissing != nullptr && isBlank(c.nameBox->text())) {
        tell(m_texts.nameMissing, InformationRequired);
        c.nameBox->setFocus();
        return false;
    }
    if (isBlank(c.descriptionBox->text())) {
        tell(m_texts.descriptionMissing, InformationRequired);
        c.descriptionBox->setFocus();
        return false;
    }
    return true;
}

void MaintenancePage::add(const QString& description) {
    const Controls& c = m_controls;
    const QString name = c.nameBox->text();
    if (exists(name, description)) {
        tell(m_texts.duplicate, InformationValidation);
        (m_rules.duplicateByName ? c.nameBox : c.descriptionBox)->setFocus();
        return;
    }
    if (!facilityChosen(Mode::Adding) || !accepted(sendAdd(name, description), QVariant())) {
        // Not taken, and reported: the input stays for another try.
        return;
    }

    const controls::ListItemRef item = c.list->add(name);
    c.list->setSubItem(item, 1, description);
    c.list->setSubItem(item, 2, c.facility->shownText());
    *c.selected = item;
    if (m_rules.saveSelectsNewItem) {
        c.list->select(item);
    }
    tell(m_texts.added, m_texts.addedTitle);
    c.nameBox->setFocus();
    finishSave(true, description, 0);
}

void MaintenancePage::update(const QString& description) {
    const Controls& c = m_controls;
    *c.selected = c.list->selectedItem();
    const bool facilityFirst = m_rules.updateChecksFacilityFirst;
    if (facilityFirst && !facilityChosen(Mode::Changing)) {
        return;
    }
    if (c.selected->isNothing()) {
        return;
    }
    const int position = c.list->indexOf(*c.selected);
    if ((!facilityFirst && !facilityChosen(Mode::Changing)) ||
        !accepted(sendUpdate(*c.selected, c.nameBox->text(), description),
                  c.list->tag(*c.selected))) {
        return;
    }

    const controls::ListItemRef shown = c.list->selectedItem();
    if (m_rules.updateShownBeforeBox) {
        lockFacility();
        c.list->setText(shown, c.nameBox->text());
        c.list->setSubItem(shown, 1, description);
        tell(m_texts.updated, m_texts.updatedTitle);
    } else {
        tell(m_texts.updated, m_texts.updatedTitle);
        c.list->setSubItem(shown, 1, description);
        c.list->setSubItem(shown, 2, c.facility->shownText());
    }
    finishSave(false, description, position);
}

bool MaintenancePage::accepted(service::ExchangeOutcome outcome, const QVariant& key) {
    return changeAccepted(outcome, [&] {
        requery();
        if (key.isValid() && selectWithTag(*m_controls.list, key)) {
            *m_controls.selected = m_controls.list->selectedItem();
        }
        if (m_mode == Mode::Idle) {
            // No input to keep (a delete): the boxes show the row again, or nothing once gone.
            listClicked();
        }
    });
}

void MaintenancePage::lockFacility() {
    makeReadOnly(*m_controls.facility);
    m_controls.facility->clearShownText();
}

void MaintenancePage::finishSave(bool added, const QString& description, int position) {
    const Controls& c = m_controls;
    lockFacility();
    makeReadOnly(*c.nameBox);
    makeReadOnly(*c.descriptionBox);
    showMode(Mode::Idle);

    requery();
    if (added) {
        selectFirstWithDescription(*c.list, description);
    } else {
        selectPosition(*c.list, position);
    }
    // With the record's position gone, nothing is selected and the boxes show nothing rather
    // than a neighbour's values.
    listClicked();
}

void MaintenancePage::tell(const char* prompt, const char* title) {
    controls::showMessageBox(UiText::tr(prompt), controls::StyleOk, UiText::tr(title));
}

} // namespace stowline::pages
