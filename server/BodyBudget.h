#pragma once

#include "AddressShares.h"

#include <cstddef>
#include <string>
#include <utility>

namespace stowline::server {

// The memory that request bodies in flight may take together, shared by the client addresses
// as AddressShares says. A request reserves its body's length before it takes the body in, so
// that what does not fit is refused before it is sent instead of growing the process, however
// many clients send at once; and no address can reserve so much that other addresses' requests
// find nothing left.
class BodyBudget {
public:
    // What an address may always have while it fits: many times the bodies the component's
    // requests have, and even a thousand connections' worth leaves half the budget.
    static constexpr std::size_t Floor = 8 * 1024;

    explicit BodyBudget(std::size_t bytes) : m_shares(bytes, bytes, Floor) {}

    // What one request holds, handed back when it goes.
    class Reservation {
    public:
        // For a request from the client address with this share key.
        Reservation(BodyBudget& budget, std::string address)
            : m_budget(budget), m_address(std::move(address)) {}
        ~Reservation() { m_budget.m_shares.give(m_address, m_bytes); }
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

        std::size_t bytes() const { return m_bytes; }
        // Reserves `more` bytes besides those held; false when the address may not have that
        // much more.
        bool grow(std::size_t more) {
            if (!m_budget.m_shares.take(m_address, more)) {
                return false;
            }
            m_bytes += more;
            return true;
        }

    private:
        BodyBudget& m_budget;
        std::string m_address;
        std::size_t m_bytes = 0;
    };

private:
    AddressShares m_shares;
};

} // namespace stowline::server
