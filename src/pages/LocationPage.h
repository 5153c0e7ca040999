#pragma once

#include <QString>

namespace stowline::state {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Storage Locations" page: its handlers, installed on the controls on creation.
// The page's mode (idle, adding, changing) lives only in the captions of its first two
// buttons.
class LocationPage {
public:
    explicit LocationPage(state::ComponentState& state);
    LocationPage(const LocationPage&) = delete;
    LocationPage& operator=(const LocationPage&) = delete;

    void cmdAddLocation_Click() { AddLocation(); }
    void cmdChangeLocation_Click() { ChangeLocation(); }
    void cmdDeleteLocation_Click() { DeleteLocation(); }
    void lstLocation_Click();
    void lstLocation_ColumnClick(int columnIndex);
    void txtLocationDesc_GotFocus();
    int txtLocationDesc_KeyPress(int keyAscii);

    // Enters adding mode, or saves the new or changed storage location.
    void AddLocation();
    // Enters changing mode, or cancels adding or changing.
    void ChangeLocation();
    void DeleteLocation();
    // True when a storage location record has exactly this description, as of the last
    // rebuild.
    bool StorageLocationExist(const QString& description);

private:
    void enterAddingMode();
    void enterChangingMode();
    void cancelEdit();
    // Back to idle after a save, then re-query and re-select (by description after an add,
    // by position after an update).
    void finishSave(bool added, int position);
    void refreshAfterChange();

    // The captions the first two buttons switch between.
    struct Captions {
        QString addLocation;
        QString changeLocation;
        QString save;
        QString update;
        QString cancel;
    };

    state::ComponentState& m_state;
    // Looked up once, as the controls get their first captions, so that a translator installed
    // later cannot make a shown caption differ from the one the mode checks compare with.
    const Captions m_captions;
};

} // namespace stowline::pages
