#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>

namespace stowline::platform {

// A second thread that runs the tasks given to it one after the other, in the order given,
// while the thread that gave them goes on; each task's result, or its failure, comes back
// through its future. Tasks must touch nothing the giving thread uses meanwhile. Where no
// thread can be started, a task runs at once on the giving thread. The destructor waits for
// the tasks given.
class OrderedWorker {
public:
    OrderedWorker() = default;
    ~OrderedWorker();
    OrderedWorker(const OrderedWorker&) = delete;
    OrderedWorker& operator=(const OrderedWorker&) = delete;

    template <typename Task> auto run(Task task) -> std::future<std::invoke_result_t<Task&>> {
        std::packaged_task<std::invoke_result_t<Task&>()> packaged(std::move(task));
        auto result = packaged.get_future();
        enqueue(
            std::packaged_task<void()>([packaged = std::move(packaged)]() mutable { packaged(); }));
        return result;
    }

private:
    void enqueue(std::packaged_task<void()> task);
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void()>> m_tasks;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace stowline::platform
