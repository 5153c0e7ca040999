#pragma once

#include <QIcon>

namespace stowline::designer {

// The component's widget-box picture: 16 x 15 pixels in 16 colours, a shelf unit with stocked
// bays above a delivery route.
QIcon toolboxIcon();

} // namespace stowline::designer
