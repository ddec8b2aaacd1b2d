// The interpreter slots: a cap on runs, a queue served in order of arrival, and the ways a
// wait ends (a slot, a full queue, the time-out, a client that left, a server that stops).

#include "http/zuCGIRunSlots.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using TTurn = TCGIRunSlots::TTurn;

Clock::time_point In(int ms)
{
    return Clock::now() + std::chrono::milliseconds(ms);
}

// Waits until `count` requests wait for a slot.
void AwaitWaiting(const TCGIRunSlots& runSlots, size_t count)
{
    for (int i = 0; i < 500 && runSlots.Waiting() < count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(runSlots.Waiting(), count);
}

} // namespace

TEST(CGIRunSlots, RunsBeyondTheCapWaitInOrderAndTheQueueHasARoof)
{
    TCGIRunSlots runSlots;
    runSlots.SetLimits(2, 3);
    EXPECT_EQ(runSlots.Acquire(In(1000), {}), TTurn::Granted);
    EXPECT_EQ(runSlots.Acquire(In(1000), {}), TTurn::Granted);

    std::vector<int> order;
    std::mutex orderLock;
    std::vector<std::future<TTurn>> waiting;
    for (int i = 0; i < 3; ++i) {
        waiting.push_back(std::async(std::launch::async, [&, i] {
            const TTurn turn = runSlots.Acquire(In(10000), {});
            const std::lock_guard lock(orderLock);
            order.push_back(i);
            return turn;
        }));
        AwaitWaiting(runSlots, static_cast<size_t>(i) + 1);
    }
    // The queue is full: turned away at once.
    const auto start = Clock::now();
    EXPECT_EQ(runSlots.Acquire(In(10000), {}), TTurn::QueueFull);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(runSlots.Running(), 2u);

    for (int i = 0; i < 3; ++i) {
        runSlots.Release();
        EXPECT_EQ(waiting[static_cast<size_t>(i)].get(), TTurn::Granted);
        EXPECT_EQ(runSlots.Running(), 2u);
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    runSlots.Release();
    runSlots.Release();
    EXPECT_EQ(runSlots.Running(), 0u);
}

TEST(CGIRunSlots, AWaitEndsAtItsTimeOutWhenItsClientLeavesOrWhenRunsAreRefused)
{
    TCGIRunSlots runSlots;
    runSlots.SetLimits(1, 4);
    ASSERT_EQ(runSlots.Acquire(In(1000), {}), TTurn::Granted);

    auto start = Clock::now();
    EXPECT_EQ(runSlots.Acquire(In(200), {}), TTurn::TimedOut);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));

    std::atomic<bool> gone{false};
    auto cancelled = std::async(std::launch::async, [&] { return runSlots.Acquire(In(10000), [&] { return gone.load(); }); });
    AwaitWaiting(runSlots, 1);
    start = Clock::now();
    gone = true;
    EXPECT_EQ(cancelled.get(), TTurn::Cancelled);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(runSlots.Waiting(), 0u);

    auto refused = std::async(std::launch::async, [&] { return runSlots.Acquire(In(10000), {}); });
    AwaitWaiting(runSlots, 1);
    runSlots.Close();
    EXPECT_EQ(refused.get(), TTurn::Refused);
    EXPECT_EQ(runSlots.Acquire(In(1000), {}), TTurn::Refused);

    // Opened again, the slot given back serves the next one.
    runSlots.Open();
    runSlots.Release();
    EXPECT_EQ(runSlots.Acquire(In(1000), {}), TTurn::Granted);
    runSlots.Release();
}
