// The threads that serve the internal HTTP server's connections.

#include "http/zuWorkerPool.h"

#include <system_error>
#include <utility>

TWorkerPool::TWorkerPool(std::chrono::milliseconds idleLimit, size_t keep) : FIdleLimit(idleLimit), FKeep(keep) {}

TWorkerPool::~TWorkerPool()
{
    Stop();
}

void TWorkerPool::SetMaxThreads(size_t count)
{
    const std::lock_guard lock(FLock);
    FMax = count > 0 ? count : 1;
}

size_t TWorkerPool::ThreadCount() const
{
    const std::lock_guard lock(FLock);
    return FLive;
}

void TWorkerPool::ReapDone()
{
    for (auto it = FWorkers.begin(); it != FWorkers.end();) {
        if (it->Done) {
            // invariant: a worker marks itself done as the last thing it does under the lock,
            // so this join only waits for its return.
            it->Thread.join();
            it = FWorkers.erase(it);
        } else {
            ++it;
        }
    }
}

void TWorkerPool::Post(std::function<void()> task)
{
    const std::lock_guard lock(FLock);
    // invariant: nothing is queued while the pool stops (a running task may still post).
    if (FStopping)
        return;
    ReapDone();
    FTasks.push_back(std::move(task));
    if (FIdle < FTasks.size() && FLive < FMax) {
        TWorker& worker = FWorkers.emplace_back();
        try {
            worker.Thread = std::thread([this, &worker] { Work(worker); });
            ++FLive;
        } catch (const std::system_error&) {
            // The task waits for a thread that becomes free.
            FWorkers.pop_back();
        }
    }
    FWake.notify_one();
}

void TWorkerPool::Work(TWorker& self)
{
    std::unique_lock lock(FLock);
    for (;;) {
        ++FIdle;
        const bool woken = FWake.wait_for(lock, FIdleLimit, [this] { return FStopping || !FTasks.empty(); });
        --FIdle;
        if (FStopping)
            break;
        if (!woken) {
            if (FLive > FKeep)
                break;
            continue;
        }
        std::function<void()> task = std::move(FTasks.front());
        FTasks.pop_front();
        lock.unlock();
        task();
        task = nullptr;
        lock.lock();
    }
    --FLive;
    self.Done = true;
}

void TWorkerPool::Stop()
{
    std::deque<std::function<void()>> dropped;
    std::list<TWorker> workers;
    {
        const std::lock_guard lock(FLock);
        FStopping = true;
        dropped.swap(FTasks);
    }
    FWake.notify_all();
    {
        // invariant: nobody posts while the pool stops, so the list only changes here.
        const std::lock_guard lock(FLock);
        workers.swap(FWorkers);
    }
    for (TWorker& worker : workers)
        worker.Thread.join();
    const std::lock_guard lock(FLock);
    FStopping = false;
}
