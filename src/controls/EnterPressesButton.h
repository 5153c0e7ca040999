#pragma once

class QWidget;

namespace stowline::controls {

// Enter (and the keypad's Enter) presses the command button that has the focus inside the
// owner, as Space does: the habit of the platform the component was designed for. The key
// reaches the owner because a button that is not a dialog's default ignores it.
void pressFocusedButtonOnEnter(QWidget& owner);

} // namespace stowline::controls
