#include "TreeView/Source/cache/LTWorkerThread.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LazyTree.h"

#include <algorithm>

namespace {
TWorkerThread* Worker = nullptr;

// State bits of WM_CHANGESTATE; the request number rides above them in WParam.
constexpr WPARAM StopBit = 1, UseCacheBit = 2, ValidatingBit = 4, NeededBit = 8;
constexpr int RequestShift = 8;
} // namespace

TWorkerThread::TWorkerThread() : FThread([this] { Execute(); }) {}

TWorkerThread::~TWorkerThread()
{
    {
        std::lock_guard lock(FLock);
        FTerminated = true;
        FSignalled = true;
    }
    FWorkSignal.notify_all();
    if (FThread.joinable())
        FThread.join();
}

TWorkerThread* TWorkerThread::AcquireWorkerThread()
{
    if (!Worker)
        Worker = new TWorkerThread();
    ++Worker->FTreeRefCount;
    return Worker;
}

void TWorkerThread::ReleaseWorkerThread(TBaseLazyTree* tree)
{
    if (!Worker)
        return;
    --Worker->FTreeRefCount;
    tree->HaltCacheWorker();
    if (Worker->FTreeRefCount == 0) {
        delete Worker;
        Worker = nullptr;
    }
}

TWorkerThread* TWorkerThread::CacheWorker()
{
    return Worker;
}

void TWorkerThread::QueueTree(TBaseLazyTree* tree)
{
    LTAssert(tree != nullptr, "Tree must not be nil.");
    tree->ShiftTreeStates({}, tsStopValidation);
    {
        std::lock_guard lock(FLock);
        tree->FStopValidation = false;
        if (std::find(FWaitingTrees.begin(), FWaitingTrees.end(), tree) == FWaitingTrees.end()) {
            FWaitingTrees.push_back(tree);
            ++tree->FCacheRequest;
            tree->FInWorker = true;
        }
        FSignalled = true;
    }
    FWorkSignal.notify_one();
}

void TWorkerThread::DequeueTree(TBaseLazyTree* tree)
{
    LTAssert(tree != nullptr, "Tree must not be nil.");
    std::lock_guard lock(FLock);
    const auto it = std::find(FWaitingTrees.begin(), FWaitingTrees.end(), tree);
    if (it != FWaitingTrees.end()) {
        FWaitingTrees.erase(it);
        if (FActiveTree != tree)
            tree->FInWorker = false;
    }
}

bool TWorkerThread::Halt(TBaseLazyTree* tree)
{
    std::unique_lock lock(FLock);
    const auto it = std::find(FWaitingTrees.begin(), FWaitingTrees.end(), tree);
    if (it != FWaitingTrees.end())
        FWaitingTrees.erase(it);
    const bool wasActive = FActiveTree == tree;
    FReleased.wait(lock, [&] { return FActiveTree != tree; });
    tree->FInWorker = false;
    return wasActive;
}

TBaseLazyTree* TWorkerThread::ActiveTree()
{
    std::lock_guard lock(FLock);
    return FActiveTree;
}

void TWorkerThread::Execute()
{
    for (;;) {
        TBaseLazyTree* tree = nullptr;
        std::uint64_t request = 0;
        {
            std::unique_lock lock(FLock);
            FWorkSignal.wait(lock, [&] { return FSignalled; });
            FSignalled = false;
            if (FTerminated)
                return;
            if (FWaitingTrees.empty())
                continue;
            tree = FWaitingTrees.front();
            FWaitingTrees.pop_front();
            // why: the signal resets itself on every wait; more queued trees need another round.
            FSignalled = !FWaitingTrees.empty();
            FActiveTree = tree;
            request = tree->FCacheRequest;
        }
        const WPARAM tag = static_cast<WPARAM>(request) << RequestShift;
        tree->PostMessage(WM_CHANGESTATE, ValidatingBit | tag, UseCacheBit);
        bool result = false;
        bool failed = false;
        try {
            if (!tree->FStopValidation.load())
                result = tree->RebuildPositionCache();
        } catch (...) {
            // why: a failing rebuild ends the worker; the trees keep walking without a cache.
            failed = true;
            result = false;
        }
        tree->PostMessage(WM_CHANGESTATE, (result ? UseCacheBit : 0) | tag,
                          static_cast<LPARAM>(StopBit | ValidatingBit | (result ? NeededBit : 0)));
        {
            std::lock_guard lock(FLock);
            FActiveTree = nullptr;
            tree->FInWorker = std::find(FWaitingTrees.begin(), FWaitingTrees.end(), tree) != FWaitingTrees.end();
        }
        FReleased.notify_all();
        if (failed)
            return;
    }
}
