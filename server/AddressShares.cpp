#include "AddressShares.h"

#include <algorithm>

namespace stowline::server {

AddressShares::AddressShares(std::size_t total, std::size_t perAddress, std::size_t floor)
    : m_total(total), m_perAddress(perAddress), m_floor(floor) {}

bool AddressShares::fits(std::size_t held, std::size_t amount) const {
    // Nothing always fits, such as an empty body from an address whose share has shrunk below
    // what it holds.
    if (amount == 0) {
        return true;
    }
    const std::size_t free = m_total - m_used;
    return amount <= free && held + amount <= m_perAddress &&
           (held + amount <= m_floor || Spread * (held + amount) <= free);
}

bool AddressShares::allows(const std::string& address, std::size_t amount) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_held.find(address);
    return fits(found == m_held.end() ? 0 : found->second, amount);
}

bool AddressShares::take(const std::string& address, std::size_t amount) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_held.find(address);
    if (!fits(found == m_held.end() ? 0 : found->second, amount)) {
        return false;
    }
    if (amount > 0) {
        m_held[address] += amount;
        m_used += amount;
    }
    return true;
}

void AddressShares::give(const std::string& address, std::size_t amount) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_held.find(address);
    if (found == m_held.end()) {
        return;
    }
    const std::size_t given = std::min(amount, found->second);
    found->second -= given;
    m_used -= given;
    if (found->second == 0) {
        m_held.erase(found);
    }
}

} // namespace stowline::server
