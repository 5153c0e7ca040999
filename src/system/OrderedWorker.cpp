#include "system/OrderedWorker.h"

#include <system_error>

namespace stowline::system {

OrderedWorker::~OrderedWorker() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void OrderedWorker::post(std::function<void()> task) {
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread([this] { work(); });
        } catch (const std::system_error&) {
            task(); // no second thread: the task runs here
            return;
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void OrderedWorker::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty()) {
                return; // stopping, and nothing is left to do
            }
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

void TaskDone::set() {
    const std::lock_guard lock(m_mutex);
    m_done = true;
    m_changed.notify_all();
}

void TaskDone::wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_done; });
}

} // namespace stowline::system
