// The floor on an exchange's pace: silence and trickles are caught once a whole window has passed,
// averaged from the newest sample at or before the window's start; steady movement at or above
// the floor never is.
#include "http/TransferPace.h"

#include <gtest/gtest.h>
#include <vector>

namespace stowline::http {
namespace {

using namespace std::chrono_literals;

struct Call {
    int ms;          // since the start
    long long moved; // in all so far
    bool tooSlow;
};

// Every 250 ms from `from` to `to`, with the bytes moved in all so far growing by `step`.
std::vector<Call> steady(int from, int to, long long start, long long step, int slowFrom) {
    std::vector<Call> calls;
    for (int ms = from; ms <= to; ms += 250) {
        calls.push_back({ms, start + step * ((ms - from) / 250), ms >= slowFrom});
    }
    return calls;
}

TEST(TransferPace, TellsWhenAnExchangeMovedLessThanTheFloorOverTheWindow) {
    constexpr int Never = 1 << 30;
    const struct {
        const char* what;
        std::vector<Call> calls; // a window of 2 s and a floor of 1024 bytes a second
    } cases[] = {
        {"silence is caught once a whole window has passed since the start",
         {{1000, 0, false}, {1999, 0, false}, {2000, 0, true}}},
        {"a steady 1200 bytes a second never is", steady(250, 10'000, 300, 300, Never)},
        {"a steady 800 bytes a second is, after one window", steady(250, 4000, 200, 200, 2000)},
        {"exactly the floor is not too slow", {{2000, 2048, false}, {4000, 4096, false}}},
        // The burst stands in the average until the window has passed it.
        {"a burst, then silence",
         {{250, 10'000, false},
          {2000, 10'000, false},
          {2249, 10'000, false},
          {2250, 10'000, true}}},
        // Samples closer together than a quarter second are not kept: the one at 100 ms is not,
        // so the window reaches back to the start and counts the burst.
        {"calls closer than a quarter second add no sample",
         {{100, 4000, false}, {2200, 4000, false}}},
        {"a sample a quarter second after the last is kept",
         {{250, 4000, false}, {2250, 4000, true}}},
    };
    for (const auto& c : cases) {
        const auto start = TransferPace::Clock::time_point{} + 1h;
        TransferPace pace(2s, 1024, start);
        for (const Call& call : c.calls) {
            EXPECT_EQ(pace.tooSlow(start + std::chrono::milliseconds(call.ms), call.moved),
                      call.tooSlow)
                << c.what << ", at " << call.ms << " ms";
        }
    }
}

} // namespace
} // namespace stowline::http
