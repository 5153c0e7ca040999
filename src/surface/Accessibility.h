#pragma once

#include "surface/ControlSurface.h"

namespace stowline::surface {

// Names every edit box, drop-down and list after its label (and makes the label its buddy),
// and orders the tab stops of each page as they appear: left to right, top to bottom.
void makeAccessible(ControlSurface& ui);

} // namespace stowline::surface
