#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace stowline::server {

// The nonces of the server's Digest challenges, and the counts clients have used them with.
// A nonce is a serial number and the time it was given, signed with a key of the process's own:
// the server recognises its own nonces without keeping them, so that challenges to anyone cost
// no memory, and every client gets a nonce of its own. Counts are kept only for nonces that
// came with the right credentials, for the `remembered` most recent of them; a nonce whose
// counts were dropped to make room is answered as stale, and its client simply asks anew.
class DigestNonces {
public:
    using Clock = std::chrono::steady_clock;

    DigestNonces(std::chrono::seconds lifetime, std::size_t remembered);

    // A new nonce, as hexadecimal text.
    std::string give();
    // Whether the nonce is one this server gave, less than the lifetime ago.
    bool isCurrent(std::string_view nonce) const;
    // Takes `count` for a current nonce that came with the right credentials. False when the
    // nonce was used with that count before, or its counts are no longer known: a replay, or a
    // nonce to be answered as stale.
    bool takeCount(std::string_view nonce, std::uint64_t count);

private:
    struct Stamp {
        std::uint64_t serial;
        Clock::time_point given;
    };
    // What the nonce says when it is one this server signed.
    std::optional<Stamp> read(std::string_view nonce) const;

    struct Counts {
        Clock::time_point given;
        std::uint64_t highest;
        // Bit i: highest - 1 - i has been used.
        std::uint64_t below;
    };

    const std::chrono::seconds m_lifetime;
    const std::size_t m_remembered;
    const std::array<unsigned char, 32> m_key;
    mutable std::mutex m_mutex;
    std::uint64_t m_nextSerial = 1;
    // By serial, which orders them by age.
    std::map<std::uint64_t, Counts> m_counts;
    // Every nonce below this serial that is not in m_counts has had its counts dropped.
    std::uint64_t m_keptFrom = 0;
};

} // namespace stowline::server
