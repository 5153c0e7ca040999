#pragma once

#include <cstddef>
#include <string>
#include <sys/socket.h>

namespace stowline::server {

// Whether the address is a loopback one (127.0.0.0/8, ::1, or 127.x mapped into IPv6), which
// only this machine can reach.
bool isLoopback(const sockaddr& address);

// As many connections as wanted, as far as the process may open descriptors for them; the soft
// limit of open files is raised towards the hard one where that helps.
std::size_t connectionLimit(std::size_t wanted);

// A bound TCP socket that listens, closed with the object unless handed on.
class ListeningSocket {
public:
    // Binds the first address of host:port (port 0 picks a free one) that binds. An address
    // other machines can reach is refused unless `mayExpose`. Throws std::runtime_error with
    // the reason when nothing binds.
    ListeningSocket(const std::string& host, int port, int backlog, bool mayExpose);
    ~ListeningSocket();
    ListeningSocket(const ListeningSocket&) = delete;
    ListeningSocket& operator=(const ListeningSocket&) = delete;

    int descriptor() const { return m_descriptor; }
    int port() const { return m_port; }
    bool isIpv6() const { return m_ipv6; }
    // From here on the caller closes it.
    int release();

private:
    int m_descriptor = -1;
    int m_port = 0;
    bool m_ipv6 = false;
};

} // namespace stowline::server
