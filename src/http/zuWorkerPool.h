#pragma once
// TWorkerPool: threads that take queued tasks in turn. A thread is started only when no
// thread is free (up to a maximum), and a thread that has had nothing to do for a while ends,
// so that a burst of work never waits for threads to start and a quiet server keeps few.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

class TWorkerPool {
public:
    // Threads beyond `keep` end after `idleLimit` without a task.
    explicit TWorkerPool(std::chrono::milliseconds idleLimit = std::chrono::seconds(30), size_t keep = 4);
    // Stop().
    ~TWorkerPool();
    TWorkerPool(const TWorkerPool&) = delete;
    TWorkerPool& operator=(const TWorkerPool&) = delete;

    void SetMaxThreads(size_t count);

    // Queues the task; a free thread takes it, else a new one when the maximum allows, else
    // the first thread that becomes free. A task must not throw. While the pool stops, a task
    // posted (by a task still running) is dropped.
    void Post(std::function<void()> task);

    // Waits for the tasks in progress, drops the ones not started and ends every thread.
    // Post works again afterwards.
    void Stop();

    size_t ThreadCount() const;

private:
    struct TWorker {
        std::thread Thread;
        bool Done = false;
    };
    void Work(TWorker& self);
    // invariant: called with FLock held.
    void ReapDone();

    const std::chrono::milliseconds FIdleLimit;
    const size_t FKeep;
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FTasks;
    std::list<TWorker> FWorkers;
    size_t FLive = 0;
    size_t FIdle = 0;
    size_t FMax = 64;
    bool FStopping = false;
};
