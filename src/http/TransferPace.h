#pragma once

#include <chrono>
#include <cstdint>
#include <deque>

namespace stowline::http {

// Watches how many bytes an exchange moves, in both directions, and tells when it moved fewer
// than the floor averaged over the last window: a service that stalls, or that sends a byte
// now and then, so that the exchange never ends and holds the operator's screen. The first
// window is counted from the start, so a service that says nothing at all is caught too.
class TransferPace {
public:
    using Clock = std::chrono::steady_clock;

    TransferPace(std::chrono::seconds window, std::int64_t minimumBytesPerSecond,
                 Clock::time_point start);

    // Takes the bytes moved in all so far (never fewer than before); true when the exchange
    // is too slow and is to be abandoned.
    bool tooSlow(Clock::time_point now, std::int64_t movedInAll);

private:
    struct Sample {
        Clock::time_point at;
        std::int64_t moved;
    };

    std::chrono::seconds m_window;
    std::int64_t m_minimumBytesPerSecond;
    // Oldest first, a few a second at most; the first one lies at or before the window's start.
    std::deque<Sample> m_samples;
};

} // namespace stowline::http
