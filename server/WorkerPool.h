#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace stowline::server {

// A fixed number of threads that run jobs in the order they were handed in. The connections'
// event loop hands them the requests that have arrived whole, so that one slow answer delays
// no other connection: whichever worker is free takes the next request.
class WorkerPool {
public:
    explicit WorkerPool(int workers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues the job; false, without running it, once the pool has stopped.
    bool run(std::function<void()> job);
    // Takes no more jobs, lets the workers finish those queued, and waits for them.
    void stop();

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace stowline::server
