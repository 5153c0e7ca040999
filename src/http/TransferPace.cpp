#include "http/TransferPace.h"

namespace stowline::http {
namespace {

// Samples closer together than this add nothing the rule needs and would only grow the list.
constexpr auto SampleSpacing = std::chrono::milliseconds(250);

} // namespace

TransferPace::TransferPace(std::chrono::seconds window, std::int64_t minimumBytesPerSecond,
                           Clock::time_point start)
    : m_window(window), m_minimumBytesPerSecond(minimumBytesPerSecond), m_samples{{start, 0}} {}

bool TransferPace::tooSlow(Clock::time_point now, std::int64_t movedInAll) {
    if (now - m_samples.back().at >= SampleSpacing) {
        m_samples.push_back({now, movedInAll});
    }
    const Clock::time_point windowStart = now - m_window;
    while (m_samples.size() > 1 && m_samples[1].at <= windowStart) {
        m_samples.pop_front();
    }
    const Sample& base = m_samples.front();
    if (base.at > windowStart) {
        return false; // not a whole window yet
    }
    const double seconds = std::chrono::duration<double>(now - base.at).count();
    return static_cast<double>(movedInAll - base.moved) <
           static_cast<double>(m_minimumBytesPerSecond) * seconds;
}

} // namespace stowline::http
