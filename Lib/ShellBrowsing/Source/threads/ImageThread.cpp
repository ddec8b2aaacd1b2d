#include "ShellBrowsing/Source/threads/ImageThread.h"

#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include "Platform/core/PostedMessage.h"

#include <algorithm>

TImageThreadRequest::~TImageThreadRequest()
{
    PIDLFree(PIDL);
}

TShellImageThreadManager::TShellImageThreadManager(std::function<void(TImageThreadRequest&)> extract,
                                                   bool newestFirst)
    : FExtract(std::move(extract)), FNewestFirst(newestFirst)
{
}

TShellImageThreadManager::~TShellImageThreadManager()
{
    std::unique_lock lock(FLock);
    StopThread(lock);
}

bool TShellImageThreadManager::Registered(QObject* window) const
{
    return std::find(FControls.begin(), FControls.end(), window) != FControls.end();
}

void TShellImageThreadManager::RegisterControl(QObject* window)
{
    const std::lock_guard lock(FLock);
    if (Registered(window))
        return;
    FControls.push_back(window);
    if (!FThread.joinable()) {
        FStop = false;
        FThread = std::thread([this] { Execute(); });
    }
}

void TShellImageThreadManager::UnRegisterControl(QObject* window, UINT messageId)
{
    ClearPendingItems(window, messageId);
    std::unique_lock lock(FLock);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), window), FControls.end());
    if (FControls.empty())
        StopThread(lock);
}

void TShellImageThreadManager::StopThread(std::unique_lock<std::mutex>& lock)
{
    if (!FThread.joinable())
        return;
    FStop = true;
    FWake.notify_all();
    std::thread thread = std::move(FThread);
    lock.unlock();
    thread.join();
    lock.lock();
    FQueue.clear();
}

void TShellImageThreadManager::AddNewItem(QObject* window, UINT messageId, PCItemIDList pidl, bool large, PLazyNode node,
                                    std::uintptr_t data)
{
    auto request = std::make_unique<TImageThreadRequest>();
    request->PIDL = PIDLMgr().CopyPIDL(pidl);
    request->Large = large;
    request->Window = window;
    request->Node = node;
    request->Data = data;
    request->MessageID = messageId;
    const std::lock_guard lock(FLock);
    if (!Registered(window))
        return;
    FQueue.push_back(std::move(request));
    FWake.notify_one();
}

void TShellImageThreadManager::ClearPendingItem(QObject* window, PLazyNode node, UINT messageId,
                                          const std::function<void(TMessage&)>& dispatch)
{
    ClearPendingItemsOf(window, messageId, [node](PLazyNode item) { return item == node; }, dispatch);
}

void TShellImageThreadManager::ClearPendingItemsOf(QObject* window, UINT messageId,
                                                   const std::function<bool(PLazyNode)>& withdrawn,
                                                   const std::function<void(TMessage&)>& dispatch)
{
    {
        const std::lock_guard lock(FLock);
        std::erase_if(FQueue, [&](const auto& r) { return r->Window == window && withdrawn(r->Node); });
        if (FCurrent && FCurrent->Window == window && withdrawn(FCurrent->Node))
            FCurrentWithdrawn = true;
    }
    // why: after the lock no answer for these nodes can be posted any more; the ones already
    // posted are applied now, while the nodes still exist.
    for (TMessage& message : TakePostedMessages(window, messageId)) {
        if (dispatch)
            dispatch(message);
        else
            ReleaseItem(reinterpret_cast<TImageThreadRequest*>(message.WParam));
    }
}

void TShellImageThreadManager::ClearPendingItems(QObject* window, UINT messageId)
{
    ClearPendingItemsOf(window, messageId, [](PLazyNode) { return true; }, nullptr);
}

int TShellImageThreadManager::QueuedCount()
{
    const std::lock_guard lock(FLock);
    return static_cast<int>(FQueue.size());
}

bool TShellImageThreadManager::Running()
{
    const std::lock_guard lock(FLock);
    return FThread.joinable();
}

void TShellImageThreadManager::Execute()
{
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FStop || !FQueue.empty(); });
        if (FStop)
            return;
        // why: icons serve the newest request first, so the rows the user scrolled to last get
        // theirs first.
        std::unique_ptr<TImageThreadRequest> request;
        if (FNewestFirst) {
            request = std::move(FQueue.back());
            FQueue.pop_back();
        } else {
            request = std::move(FQueue.front());
            FQueue.pop_front();
        }
        FCurrent = request.get();
        FCurrentWithdrawn = false;
        lock.unlock();
        FExtract(*request);
        lock.lock();
        FCurrent = nullptr;
        if (!FCurrentWithdrawn && !FStop && Registered(request->Window)) {
            QObject* window = request->Window;
            const UINT id = request->MessageID;
            PostMessageTo(window, TMessage{id, reinterpret_cast<WPARAM>(request.release()), 0, 0});
        }
    }
}
