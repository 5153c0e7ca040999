#pragma once

#include "system/Cancellation.h"

#include <QString>
#include <functional>

namespace stowline::controls {

// Lets an exchange with the service wait in the calling thread's event loop where that is the
// user interface's: the exchange gets a cancellation and waits in the loop (http::httpPost),
// so that the windows keep painting and timers run, while the operator's input to every window
// is dropped (InputDrop), also what is still queued when the exchange ends. After a second a
// BusyIndication shows over the component whose action waits, saying what for; its Cancel, and
// the component's deletion, ask for the cancellation. Elsewhere (another thread, no
// application) the exchange gets no cancellation and blocks; in an action whose component was
// deleted it gets one asked for already, and sends nothing.
void waitForService(const QString& operation,
                    const std::function<void(system::Cancellation*)>& exchange);

} // namespace stowline::controls
