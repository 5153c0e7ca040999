#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace stowline::server {

// A capacity that client addresses share: the connections, or the memory for request bodies.
// An address may hold up to `floor` (one connection, a few KiB of bodies) whenever it fits.
// Beyond that it may take more only while what is free is at least Spread times what it would
// then hold, and never beyond its own limit. Alone an address may take much; as the capacity
// fills, what each may hold shrinks. However many addresses push to take it all, they stop
// taking beyond their floors while several floors are still free, and only the floors of
// several more addresses could take those: an address that asks for no more than its floor
// finds room.
class AddressShares {
public:
    static constexpr std::size_t Spread = 4;

    AddressShares(std::size_t total, std::size_t perAddress, std::size_t floor);
    AddressShares(const AddressShares&) = delete;
    AddressShares& operator=(const AddressShares&) = delete;

    // Whether `address` may take `amount` more now.
    bool allows(const std::string& address, std::size_t amount) const;
    // Takes it when allowed; false, taking nothing, otherwise.
    bool take(const std::string& address, std::size_t amount);
    void give(const std::string& address, std::size_t amount);

private:
    bool fits(std::size_t held, std::size_t amount) const;

    const std::size_t m_total;
    const std::size_t m_perAddress;
    const std::size_t m_floor;
    mutable std::mutex m_mutex;
    std::size_t m_used = 0;
    // Only addresses that hold some.
    std::unordered_map<std::string, std::size_t> m_held;
};

} // namespace stowline::server
