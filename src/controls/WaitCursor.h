#pragma once

namespace stowline::controls {

// Shows the wait cursor for as long as it lives (when there is a GUI application at all).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_shown = false;
};

} // namespace stowline::controls
