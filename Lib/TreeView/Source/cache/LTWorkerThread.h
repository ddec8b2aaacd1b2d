#pragma once
// TWorkerThread: the one background thread of the process that rebuilds the position caches of
// large trees. Trees queue themselves when their cache went stale; the worker takes them one by
// one, runs each tree's RebuildPositionCache and reports the start and the end of the rebuild to
// the tree by posted messages (WM_CHANGESTATE), so the tree's states change on the GUI thread.
//
// invariant: the worker touches a tree only between taking it from the queue and releasing it;
// it never calls events, painting or any GUI code, and never waits for the GUI thread. Halting
// (Halt) waits on a condition variable until the worker has released the tree; since the worker
// never blocks on the GUI thread, that wait always ends.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

class TBaseLazyTree;

class TWorkerThread {
public:
    // Every tree holds one reference from construction to destruction; the first creates the
    // thread, the last ends it and waits for its end.
    static TWorkerThread* AcquireWorkerThread();
    static void ReleaseWorkerThread(TBaseLazyTree* tree);
    // The worker of the process, or nil while no tree exists.
    static TWorkerThread* CacheWorker();

    // Appends the tree unless it is queued already and wakes the worker; the tree's stop request
    // is cleared.
    void QueueTree(TBaseLazyTree* tree);
    void DequeueTree(TBaseLazyTree* tree);
    // Removes the tree from the queue or, while the worker rebuilds its cache, waits until it has
    // stopped. True when a running rebuild was stopped.
    bool Halt(TBaseLazyTree* tree);
    // The tree being rebuilt right now (nil between rounds).
    TBaseLazyTree* ActiveTree();
    int TreeRefCount() const { return FTreeRefCount; }

private:
    TWorkerThread();
    ~TWorkerThread();
    void Execute();

    std::mutex FLock;
    std::condition_variable FWorkSignal;
    std::condition_variable FReleased;
    bool FSignalled = false;
    bool FTerminated = false;
    std::deque<TBaseLazyTree*> FWaitingTrees;
    TBaseLazyTree* FActiveTree = nullptr;
    int FTreeRefCount = 0; // changed on the GUI thread only
    std::thread FThread;
};
