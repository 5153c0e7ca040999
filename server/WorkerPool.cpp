#include "WorkerPool.h"

#include <algorithm>

namespace stowline::server {

WorkerPool::WorkerPool(int workers) {
    for (int i = 0; i < std::max(1, workers); ++i) {
        m_workers.emplace_back([this] { work(); });
    }
}

WorkerPool::~WorkerPool() {
    stop();
}

bool WorkerPool::run(std::function<void()> job) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopping) {
            return false;
        }
        m_jobs.push_back(std::move(job));
    }
    m_queued.notify_one();
    return true;
}

void WorkerPool::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    for (std::thread& worker : m_workers) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_queued.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
            if (m_jobs.empty()) {
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}

} // namespace stowline::server
