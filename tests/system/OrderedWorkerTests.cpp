// The second thread: tasks run there, one after the other in the order given, while the giving
// thread goes on; the worker's end waits for every task given; a finished task is told to one
// waiting thread.
#include "system/OrderedWorker.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace stowline::system {
namespace {

TEST(OrderedWorker, RunsTheTasksInOrderOnItsOwnThreadWhileTheGiverGoesOn) {
    std::mutex mutex;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    TaskDone firstMayEnd;
    TaskDone firstStarted;
    {
        OrderedWorker worker;
        worker.post([&] {
            firstStarted.set();
            firstMayEnd.wait(); // the giver must be able to go on meanwhile
            const std::lock_guard lock(mutex);
            order.push_back(0);
            threads.push_back(std::this_thread::get_id());
        });
        firstStarted.wait();
        for (int task = 1; task < 50; ++task) {
            worker.post([&, task] {
                const std::lock_guard lock(mutex);
                order.push_back(task);
                threads.push_back(std::this_thread::get_id());
            });
        }
        firstMayEnd.set();
    } // the worker's end waits for all 50
    ASSERT_EQ(order.size(), 50u);
    for (int task = 0; task < 50; ++task) {
        EXPECT_EQ(order[static_cast<std::size_t>(task)], task);
        EXPECT_EQ(threads[static_cast<std::size_t>(task)], threads[0]);
    }
    EXPECT_NE(threads[0], std::this_thread::get_id());
}

TEST(TaskDone, ReleasesAWaiterWhetherSetBeforeOrAfterTheWait) {
    TaskDone early;
    early.set();
    early.wait(); // returns at once

    TaskDone late;
    bool done = false;
    OrderedWorker worker;
    worker.post([&] {
        done = true;
        late.set();
    });
    late.wait();
    EXPECT_TRUE(done); // what the task wrote before set() is seen after wait()
}

} // namespace
} // namespace stowline::system
