#pragma once

#include "system/Cancellation.h"

#include <QString>
#include <functional>

namespace stowline::controls {

// Runs the work on a thread of its own while this thread, the user interface's, waits for it in
// a local event loop: the windows keep painting and timers run, while the operator's input to
// every window is dropped (InputDrop). After a second, a BusyIndication shows over the component
// whose action waits, saying what it waits for; its Cancel, and the component's deletion, ask
// the work to stop through the cancellation it is given. The wait ends when the work has
// ended, and input still queued then is dropped too. The work runs at once on this thread
// instead where there is no event loop to wait in (another thread, no application, no second
// thread to be had), and in an action whose component was deleted, with the cancellation asked
// for already. A failure the work throws is thrown here.
void waitOffTheUiThread(const QString& waitingFor,
                        const std::function<void(system::Cancellation&)>& work);

} // namespace stowline::controls
