#pragma once

#include <QString>

namespace stowline::control {
struct ComponentState;
}

namespace stowline::pages {

// The "Maintain Storage Locations" page: its handlers, installed on the controls on creation.
// The page's mode (idle, adding, changing) lives only in the captions of its first two
// buttons.
class LocationPage {
public:
    explicit LocationPage(control::ComponentState& state);
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

    control::ComponentState& m_state;
};

} // namespace stowline::pages
