#pragma once

#include <string>
#include <sys/socket.h>

namespace stowline::server {

// The client's address as numbers, for the log: "127.0.0.1", "::1"; "?" when unknown.
std::string numericHost(const sockaddr* address);

// What a client's share of the server is counted by: its IPv4 address, or the /64 network of
// an IPv6 address, since one subscriber is usually given a whole /64 to pick addresses from.
// An IPv4 address mapped into IPv6 counts as itself. Empty when unknown.
std::string shareKey(const sockaddr* address);

} // namespace stowline::server
