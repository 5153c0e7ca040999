#pragma once

#include "support/RecordingHttpServer.h"

#include <QByteArray>
#include <atomic>
#include <chrono>

namespace stowline::test {

// What the loopback servers share: sockets on 127.0.0.1 and HTTP messages read and written
// whole. Every wait ends within a poll slice once `stopped` is set.

// A listening socket on a free port of 127.0.0.1; throws when there is none.
int listenOnLoopback(quint16& port);
// A connection to 127.0.0.1:port; -1 when nothing listens there.
int connectToLoopback(quint16 port);
// Waits for the socket to be ready; false when stopped or the time is up first.
bool waitFor(int socket, short events, const std::atomic<bool>& stopped,
             std::chrono::milliseconds limit = std::chrono::hours(24));
// Sends the bytes, and tells how many went out before the peer went away or the wait stopped.
qsizetype sendAll(int socket, const QByteArray& bytes, const std::atomic<bool>& stopped);
// Reads one HTTP message, request or answer: its start line, headers, and a body of the
// announced Content-Length. False when nothing arrived; an incomplete one is marked so.
bool readMessage(int socket, RecordedRequest& message, const std::atomic<bool>& stopped);

} // namespace stowline::test
