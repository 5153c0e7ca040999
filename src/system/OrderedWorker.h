#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace stowline::system {

// A second thread that runs the tasks given to it one after the other, in the order given,
// while the thread that gave them goes on. Tasks must touch nothing the giving thread uses
// meanwhile, and must not throw. Where no thread can be started, a task runs at once on the
// giving thread. The destructor waits for the tasks given.
class OrderedWorker {
public:
    OrderedWorker() = default;
    ~OrderedWorker();
    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    void post(std::function<void()> task);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::thread m_thread;
};

// Tells one waiting thread that a task given to a worker is done. Plain mutex and condition, so
// that the thread sanitizer sees the hand-over.
class TaskDone {
public:
    void set();
    void wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
};

} // namespace stowline::system
