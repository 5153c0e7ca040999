#pragma once

#include "controls/SystemColours.h"

namespace stowline::pages {

// An editable field is unlocked on the window background; a read-only one is locked on the
// button face.
template <typename Field> void makeEditable(Field& field) {
    field.setLocked(false);
    field.setBackColour(controls::windowBackgroundColour());
}

template <typename Field> void makeReadOnly(Field& field) {
    field.setLocked(true);
    field.setBackColour(controls::buttonFaceColour());
}

} // namespace stowline::pages
