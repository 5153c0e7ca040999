#pragma once

#include "surface/ControlSurface.h"

namespace stowline::surface {

// Lays the controls out at their design geometry, then makes room for every caption (labels,
// option buttons, buttons) that its font draws wider than the design allowed, as happens when
// the design font is missing or the host sets a larger one. A caption that grows pushes what
// stands after it on its line: a text box or drop-down gives up width on its left, anything
// else moves. With the design font's metrics nothing moves.
void fitCaptions(const ControlSurface& ui);

// Remembers a control's design geometry, which every fit starts from.
void setDesignGeometry(QWidget& control, const QRect& geometry);

} // namespace stowline::surface
