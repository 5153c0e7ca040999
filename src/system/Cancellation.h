#pragma once

#include <functional>
#include <mutex>

namespace stowline::system {

// A request to stop a piece of work, made by whoever waits for it (a handler of the event loop
// the work waits in, or another thread), and the work's way to be woken from its wait when it
// comes. Every member may be called from any thread.
class Cancellation {
public:
    enum class Reason {
        None,
        // The operator gave up waiting.
        Operator,
        // Nobody waits for the result any more (the component that asked for it was deleted).
        Abandoned,
    };

    // The first reason given stays; the waker, if one is set, runs at once.
    void cancel(Reason reason);
    Reason reason() const;
    bool requested() const { return reason() != Reason::None; }

    // What wakes the work from its wait; empty to remove it. The waker runs under a lock that
    // setWaker also takes, so once setWaker({}) returns the waker is not running and never runs
    // again. It must be quick and must not call back into this object.
    void setWaker(std::function<void()> waker);

private:
    mutable std::mutex m_mutex;
    Reason m_reason = Reason::None;
    std::function<void()> m_waker;
};

} // namespace stowline::system
