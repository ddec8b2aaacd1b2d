// The worker pool of the HTTP server: every task runs, never on more threads than allowed,
// threads are reused, idle threads end, and a stop drops what has not started.

#include "http/zuWorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace {

bool WaitUntil(const std::function<bool()>& condition)
{
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

} // namespace

TEST(WorkerPool, EveryTaskRunsOnAtMostTheAllowedThreadsWhichAreReused)
{
    TWorkerPool pool(std::chrono::seconds(30), 2);
    pool.SetMaxThreads(3);
    std::atomic<int> running{0}, peak{0}, done{0};
    std::mutex idsLock;
    std::set<std::thread::id> ids;
    for (int i = 0; i < 40; ++i)
        pool.Post([&] {
            const int now = ++running;
            for (int seen = peak.load(); now > seen && !peak.compare_exchange_weak(seen, now);) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            {
                const std::lock_guard lock(idsLock);
                ids.insert(std::this_thread::get_id());
            }
            --running;
            ++done;
        });
    ASSERT_TRUE(WaitUntil([&] { return done.load() == 40; }));
    EXPECT_EQ(peak.load(), 3);
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(pool.ThreadCount(), 3u);

    // One task at a time needs no new thread.
    for (int i = 0; i < 20; ++i) {
        std::atomic<bool> ran{false};
        pool.Post([&] {
            const std::lock_guard lock(idsLock);
            ids.insert(std::this_thread::get_id());
            ran = true;
        });
        ASSERT_TRUE(WaitUntil([&] { return ran.load(); }));
    }
    EXPECT_EQ(ids.size(), 3u);
}

TEST(WorkerPool, IdleThreadsBeyondTheKeptOnesEnd)
{
    TWorkerPool pool(std::chrono::milliseconds(100), 1);
    pool.SetMaxThreads(4);
    std::atomic<int> done{0};
    for (int i = 0; i < 4; ++i)
        pool.Post([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ++done;
        });
    ASSERT_TRUE(WaitUntil([&] { return done.load() == 4; }));
    EXPECT_TRUE(WaitUntil([&] { return pool.ThreadCount() == 1; }));
    pool.Post([&] { ++done; });
    EXPECT_TRUE(WaitUntil([&] { return done.load() == 5; }));
}

TEST(WorkerPool, StopWaitsForRunningTasksAndDropsTheRest)
{
    TWorkerPool pool;
    pool.SetMaxThreads(1);
    std::atomic<bool> release{false};
    std::atomic<int> started{0}, finished{0};
    for (int i = 0; i < 5; ++i)
        pool.Post([&] {
            ++started;
            while (!release.load())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ++finished;
        });
    ASSERT_TRUE(WaitUntil([&] { return started.load() == 1; }));
    std::thread stopper([&] { pool.Stop(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release = true;
    stopper.join();
    EXPECT_EQ(started.load(), 1);
    EXPECT_EQ(finished.load(), 1);
    EXPECT_EQ(pool.ThreadCount(), 0u);

    // Stopped, it takes tasks again.
    pool.Post([&] { ++finished; });
    EXPECT_TRUE(WaitUntil([&] { return finished.load() == 2; }));
}
