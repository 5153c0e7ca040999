#pragma once

#include "system/Cancellation.h"

#include <curl/curl.h>

namespace stowline::http {

// Runs an easy handle's transfer to its end from the calling thread's Qt event loop, which
// meanwhile goes on with the thread's other events (timers, painting): curl says which sockets
// to watch and when to be called again, and is called when one is ready or the time has come.
// Nothing waits outside the loop, so no other thread has to wake this one. The transfer is
// abandoned, with CURLE_ABORTED_BY_CALLBACK, as soon as the cancellation is asked for (by a
// handler the loop runs), or when the loop is told to end from outside (the application quits;
// the cancellation then says Abandoned).
CURLcode performInEventLoop(CURL* handle, system::Cancellation& cancellation);

} // namespace stowline::http
