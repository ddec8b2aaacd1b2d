#pragma once
// TShellThread: the base of the library's worker threads (the change notifier's threads and a
// background enumeration). It offers a suspension gate, a priority, a one-way terminate flag,
// an interlocked reference count and two hooks around the work.
//
// A thread starts only with Start, called once the object is fully built (the work must not
// run before the derived parts exist); created suspended, it then waits until Suspended is set
// to false. Suspension here is cooperative: the work stops at its next CheckSuspended. An
// exception that escapes Execute ends the work quietly; FinalizeThread still runs and Finished
// is set. With FreeOnTerminate the thread frees its object when the work ends; otherwise the
// owner stops the thread (Terminate and its own wake-up) and frees the object, which waits for
// the thread to end.

#include "Platform/core/Component.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TShellThread : public TObject {
public:
    explicit TShellThread(bool createSuspended);
    ~TShellThread() override;

    // Runs the thread procedure on a new thread (once).
    void Start();

    bool FreeOnTerminate = false;
    bool Terminated() const { return FTerminated.load(); }
    bool Suspended() const { return FSuspended.load(); }
    void SetSuspended(bool value);
    bool Finished() const { return FFinished.load(); }
    TThreadPriority Priority() const { return FPriority; }
    // Applied to the running thread as its nice value where the system allows.
    void SetPriority(TThreadPriority priority);
    virtual void Terminate();

    int AddRef() { return ++FRefCount; }
    int Release() { return --FRefCount; }
    int RefCount() const { return FRefCount.load(); }

    // Waits until the work has ended (never from the thread itself); at once for a thread that
    // was never started. A subclass whose work uses its own members calls Terminate, wakes its
    // work and calls WaitFor in its destructor, before those members go.
    void WaitFor();

protected:
    virtual void Execute() = 0;
    virtual void InitializeThread() {}
    virtual void FinalizeThread() {}
    // Waits while the thread is suspended; returns at once when it is terminated.
    void CheckSuspended();

    // For subclasses.
    std::mutex Lock;

private:
    void ThreadProc();
    void ApplyPriority();

    std::thread FThread;
    std::mutex FGateLock;
    std::condition_variable FGate;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FSuspended{false};
    std::atomic<bool> FFinished{false};
    std::atomic<int> FRefCount{0};
    std::atomic<int> FThreadId{0};
    TThreadPriority FPriority = TThreadPriority::tpNormal;
};
