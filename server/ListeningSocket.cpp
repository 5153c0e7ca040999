#include "ListeningSocket.h"

#include "HttpService.h"

#include <algorithm>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace stowline::server {
namespace {

// Descriptors kept free for the database files and the library's own.
constexpr rlim_t ReservedDescriptors = 128;

int boundPort(int socket) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.ss_family == AF_INET6
                     ? reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port
                     : reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

} // namespace

bool isLoopback(const sockaddr& address) {
    if (address.sa_family == AF_INET) {
        const auto& ipv4 = reinterpret_cast<const sockaddr_in&>(address);
        return (ntohl(ipv4.sin_addr.s_addr) >> 24) == 127;
    }
    if (address.sa_family == AF_INET6) {
        const in6_addr& ipv6 = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
        return IN6_IS_ADDR_LOOPBACK(&ipv6) ||
               (IN6_IS_ADDR_V4MAPPED(&ipv6) && ipv6.s6_addr[12] == 127);
    }
    return false;
}

std::size_t connectionLimit(std::size_t wanted) {
    const rlim_t needed = wanted + ReservedDescriptors;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return wanted;
    }
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed) {
        limit.rlim_cur =
            limit.rlim_max == RLIM_INFINITY ? needed : std::min(needed, limit.rlim_max);
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= needed) {
        return wanted;
    }
    return limit.rlim_cur > ReservedDescriptors * 2 ? limit.rlim_cur - ReservedDescriptors
                                                    : limit.rlim_cur / 2;
}

ListeningSocket::ListeningSocket(const std::string& host, int port, int backlog, bool mayExpose) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string where = hostAndPort(host, port);
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        throw std::runtime_error("cannot listen on " + where + ": the host is unknown");
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        // Credentials and answers would cross the network readable, and anyone could try
        // passwords, so only this machine may reach the server without both.
        if (!mayExpose && !isLoopback(*address->ai_addr)) {
            throw std::runtime_error("refusing to listen on " + where +
                                     ", which other machines can reach, without --auth (or "
                                     "--auth-file) and --tls");
        }
        const int s =
            ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                     address->ai_protocol);
        if (s < 0) {
            continue;
        }
        // SO_REUSEADDR still allows a restart on a port whose old connections linger in
        // TIME_WAIT; SO_REUSEPORT would let a second server share a port already in use.
        const int yes = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(s, address->ai_addr, address->ai_addrlen) == 0 && ::listen(s, backlog) == 0) {
            m_descriptor = s;
            m_port = boundPort(s);
            m_ipv6 = address->ai_family == AF_INET6;
            return;
        }
        ::close(s);
    }
    throw std::runtime_error("cannot listen on " + where);
}

ListeningSocket::~ListeningSocket() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

int ListeningSocket::release() {
    return std::exchange(m_descriptor, -1);
}

} // namespace stowline::server
