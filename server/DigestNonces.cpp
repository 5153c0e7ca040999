#include "DigestNonces.h"

#include "SameSecret.h"

#include <gnutls/crypto.h>
#include <sys/random.h>

#include <algorithm>
#include <stdexcept>

namespace stowline::server {
namespace {

// Serial and time, eight bytes each, then the first half of their HMAC-SHA-256.
constexpr std::size_t StampBytes = 16;
constexpr std::size_t SignatureBytes = 16;
constexpr std::size_t NonceBytes = StampBytes + SignatureBytes;

std::array<unsigned char, 32> randomKey() {
    std::array<unsigned char, 32> key{};
    if (getrandom(key.data(), key.size(), 0) != static_cast<ssize_t>(key.size())) {
        throw std::runtime_error("cannot read random bytes for the Digest nonces");
    }
    return key;
}

void putNumber(std::uint64_t number, unsigned char* bytes) {
    for (int i = 7; i >= 0; --i) {
        bytes[i] = static_cast<unsigned char>(number & 0xFF);
        number >>= 8;
    }
}

std::uint64_t getNumber(const unsigned char* bytes) {
    std::uint64_t number = 0;
    for (int i = 0; i < 8; ++i) {
        number = (number << 8) | bytes[i];
    }
    return number;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

DigestNonces::DigestNonces(std::chrono::seconds lifetime, std::size_t remembered)
    : m_lifetime(lifetime), m_remembered(remembered), m_key(randomKey()) {}

std::string DigestNonces::give() {
    std::array<unsigned char, NonceBytes> nonce{};
    {
        const std::lock_guard lock(m_mutex);
        putNumber(m_nextSerial++, nonce.data());
    }
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    putNumber(static_cast<std::uint64_t>(now.count()), nonce.data() + 8);
    std::array<unsigned char, 32> signature{};
    gnutls_hmac_fast(GNUTLS_MAC_SHA256, m_key.data(), m_key.size(), nonce.data(), StampBytes,
                     signature.data());
    std::copy_n(signature.begin(), SignatureBytes, nonce.begin() + StampBytes);
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : nonce) {
        text += Digits[byte >> 4];
        text += Digits[byte & 0x0F];
    }
    return text;
}

std::optional<DigestNonces::Stamp> DigestNonces::read(std::string_view nonce) const {
    if (nonce.size() != 2 * NonceBytes) {
        return std::nullopt;
    }
    std::array<unsigned char, NonceBytes> bytes{};
    for (std::size_t i = 0; i < NonceBytes; ++i) {
        const int high = hexDigit(nonce[2 * i]);
        const int low = hexDigit(nonce[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    std::array<unsigned char, 32> signature{};
    gnutls_hmac_fast(GNUTLS_MAC_SHA256, m_key.data(), m_key.size(), bytes.data(), StampBytes,
                     signature.data());
    const std::string_view expected(reinterpret_cast<const char*>(signature.data()),
                                    SignatureBytes);
    const std::string_view given(reinterpret_cast<const char*>(bytes.data() + StampBytes),
                                 SignatureBytes);
    if (!sameSecret(given, expected)) {
        return std::nullopt;
    }
    return Stamp{getNumber(bytes.data()),
                 Clock::time_point(std::chrono::milliseconds(getNumber(bytes.data() + 8)))};
}

bool DigestNonces::isCurrent(std::string_view nonce) const {
    const std::optional<Stamp> stamp = read(nonce);
    return stamp && Clock::now() < stamp->given + m_lifetime;
}

bool DigestNonces::takeCount(std::string_view nonce, std::uint64_t count) {
    const std::optional<Stamp> stamp = read(nonce);
    if (!stamp || count == 0) {
        return false;
    }
    const std::lock_guard lock(m_mutex);
    const auto found = m_counts.find(stamp->serial);
    if (found == m_counts.end()) {
        if (stamp->serial < m_keptFrom) {
            return false;
        }
        m_counts.emplace(stamp->serial, Counts{stamp->given, count, 0});
        // The oldest go first: those past their lifetime, then as many as make room.
        const Clock::time_point now = Clock::now();
        while (!m_counts.empty() && (m_counts.size() > m_remembered ||
                                     m_counts.begin()->second.given + m_lifetime <= now)) {
            m_keptFrom = m_counts.begin()->first + 1;
            m_counts.erase(m_counts.begin());
        }
        return m_counts.contains(stamp->serial);
    }
    Counts& counts = found->second;
    if (count > counts.highest) {
        // The old highest becomes bit shift - 1, and the others move along.
        const std::uint64_t shift = count - counts.highest;
        const std::uint64_t moved = shift >= 64 ? 0 : counts.below << shift;
        counts.below = moved | (shift <= 64 ? std::uint64_t{1} << (shift - 1) : 0);
        counts.highest = count;
        return true;
    }
    const std::uint64_t distance = counts.highest - count;
    if (distance == 0 || distance > 64) {
        return false;
    }
    const std::uint64_t bit = std::uint64_t{1} << (distance - 1);
    if ((counts.below & bit) != 0) {
        return false;
    }
    counts.below |= bit;
    return true;
}

} // namespace stowline::server
