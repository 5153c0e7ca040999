#include "ClientAddress.h"

#include <netdb.h>
#include <netinet/in.h>

namespace stowline::server {

std::string numericHost(const sockaddr* address) {
    char host[NI_MAXHOST] = "?";
    if (address != nullptr) {
        const socklen_t length =
            address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST);
    }
    return host;
}

std::string shareKey(const sockaddr* address) {
    if (address == nullptr) {
        return {};
    }
    if (address->sa_family == AF_INET) {
        const in_addr& ipv4 = reinterpret_cast<const sockaddr_in*>(address)->sin_addr;
        return std::string(reinterpret_cast<const char*>(&ipv4), sizeof ipv4);
    }
    if (address->sa_family == AF_INET6) {
        const in6_addr& ipv6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
        const char* bytes = reinterpret_cast<const char*>(&ipv6);
        if (IN6_IS_ADDR_V4MAPPED(&ipv6)) {
            return std::string(bytes + 12, 4);
        }
        return std::string(bytes, 8);
    }
    return {};
}

} // namespace stowline::server
