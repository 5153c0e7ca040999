#pragma once

#include "controls/DropDown.h"
#include "controls/ListView.h"
#include "controls/TextBox.h"
#include "service/ExchangeOutcome.h"

#include <QFrame>
#include <QPushButton>
#include <QString>

namespace stowline::pages {

// The workflow the route and the storage-location pages share: a list of records, a name and a
// description box, a facility drop-down, and three buttons with which the operator adds,
// changes and deletes a record. The page is idle, adding or changing; its first two buttons'
// captions show the mode. Each change is sent to the service, and the lists are then read
// again from it.
class MaintenancePage {
public:
    enum class Mode { Idle, Adding, Changing };

    // The page's controls, and where it remembers the item it takes as selected.
    struct Controls {
        controls::ListView* list = nullptr;
        QFrame* listFrame = nullptr;
        controls::TextBox* nameBox = nullptr;
        controls::TextBox* descriptionBox = nullptr;
        controls::DropDown* facility = nullptr;
        QPushButton* addButton = nullptr;
        QPushButton* changeButton = nullptr;
        QPushButton* deleteButton = nullptr;
        controls::ListItemRef* selected = nullptr;
    };

    // What the operator reads on the page, as source texts (QT_TRANSLATE_NOOP in the context
    // "Stowline"). Captions are looked up once, as the controls get them, so that a translator
    // installed later cannot make a shown caption differ from the mode; messages are looked up
    // when shown.
    struct Texts {
        const char* addCaption = nullptr;    // the first button while idle
        const char* changeCaption = nullptr; // the second button while idle
        const char* nameMissing = nullptr;   // none: the name may be blank
        const char* descriptionMissing = nullptr;
        const char* duplicate = nullptr;
        const char* selectToChange = nullptr;
        const char* selectToDelete = nullptr;
        const char* confirmDelete = nullptr;
        const char* added = nullptr;
        const char* addedTitle = nullptr;
        const char* updated = nullptr;
        const char* updatedTitle = nullptr;
        const char* deleted = nullptr;
        const char* deletedTitle = nullptr;
    };

    // The names the page's procedures report their failures under.
    struct Procedures {
        QString save;        // the first button: enter adding mode, or save
        QString change;      // the second button: enter changing mode, or cancel
        QString remove;      // the delete button
        QString click;       // the list's click handling
        QString columnClick; // a click on a column header
    };

    // Where the two pages behave differently.
    struct Rules {
        // The duplicate check is made on the name (else on the description), whose box then
        // takes the focus.
        bool duplicateByName = false;
        // Changing mode lets the name be edited too, and starts there.
        bool nameChangeable = false;
        // Changing mode shows the facility of the item being changed.
        bool changeShowsItemsFacility = false;
        // Cancel shows the selected item again; otherwise what was typed stays in the boxes.
        bool cancelRestoresBoxes = false;
        // Save makes the row it appends the list's selected one (else only remembers it).
        bool saveSelectsNewItem = false;
        // Update asks for a facility before it looks for a selected row (else after).
        bool updateChecksFacilityFirst = false;
        // Update locks and empties the facility drop-down and gives the row the name and the
        // description before the success box. Else the row takes the description and the
        // facility after the box.
        bool updateShownBeforeBox = false;
    };

    MaintenancePage(const Controls& controls, const Texts& texts, Procedures procedures,
                    Rules rules);
    virtual ~MaintenancePage() = default;
    MaintenancePage(const MaintenancePage&) = delete;
    MaintenancePage& operator=(const MaintenancePage&) = delete;

    Mode mode() const { return m_mode; }

    // The first button: enters adding mode, or saves the new or changed record.
    void saveOrAdd();
    // The second button: enters changing mode, or cancels adding or changing.
    void changeOrCancel();
    void deleteSelected();
    // Takes the list's selected item as the page's and shows it in the boxes.
    void listClicked();
    void columnClicked(int columnIndex);

protected:
    // True when a record already has this name or description (by Rules::duplicateByName).
    virtual bool exists(const QString& name, const QString& description) = 0;
    // False, with the operator told, when the facility the save needs is not chosen.
    virtual bool facilityChosen(Mode mode) = 0;
    // The requests: each tells what became of it; a failure has been reported.
    virtual service::ExchangeOutcome sendAdd(const QString& name, const QString& description) = 0;
    virtual service::ExchangeOutcome sendUpdate(const controls::ListItemRef& item,
                                                const QString& name,
                                                const QString& description) = 0;
    virtual service::ExchangeOutcome sendDelete(const controls::ListItemRef& item) = 0;
    // Reads the page's records and the centers again from the service.
    virtual void requery() = 0;

    const Controls& controls() const { return m_controls; }
    // Selects the whole text of a box that takes the focus.
    static void selectAll(controls::TextBox& box);

private:
    void showMode(Mode mode);
    void enterAddingMode();
    void enterChangingMode();
    void cancel();
    bool inputComplete();
    void add(const QString& description);
    void update(const QString& description);
    // Whether the service took the change (see changeAccepted). When its answer was lost, the
    // list is read again and the record worked on (by its key; none for an add) selected again
    // if it is still there; the mode stays, and so do the boxes while adding or changing.
    bool accepted(service::ExchangeOutcome outcome, const QVariant& key);
    // Locked, on the button face, showing no facility.
    void lockFacility();
    // Back to idle after a save, then read again and select the saved record: the first with
    // its description after an add, the one at its old position after an update.
    void finishSave(bool added, const QString& description, int position);
    // An information box with the translations of the source texts.
    static void tell(const char* prompt, const char* title);

    Controls m_controls;
    const Texts m_texts;
    const Procedures m_procedures;
    const Rules m_rules;
    // The captions of the three modes.
    const QString m_addCaption;
    const QString m_changeCaption;
    const QString m_saveCaption;
    const QString m_updateCaption;
    const QString m_cancelCaption;
    Mode m_mode = Mode::Idle;
};

} // namespace stowline::pages
