#pragma once
// The icon thread: one process-wide worker that looks up the icons of items for the explorer
// trees, so that painting never waits for the file system. A tree queues a request per item it
// paints with a placeholder; the worker answers the most recent request first and posts it back
// as VM_ICONREADY (WParam: the request, which the receiver frees with ReleaseItem). The worker
// never touches a node or a widget: the node travels only as a value. It runs from the first
// registered control to the last.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Messages.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QObject;

// The answer of an icon request.
enum : UINT { VM_ICONREADY = 0x8034 };

struct TImageThreadRequest {
    PItemIDList PIDL = nullptr; // owned copy of the item's absolute list
    bool Large = false;
    QObject* Window = nullptr;
    PLazyNode Node = nullptr;
    std::uintptr_t Data = 0;
    UINT MessageID = 0;
    int ImageIndex = -1;
    ~TImageThreadRequest();
};

class TIconThreadManager {
public:
    static TIconThreadManager& Instance();
    ~TIconThreadManager();
    TIconThreadManager(const TIconThreadManager&) = delete;
    TIconThreadManager& operator=(const TIconThreadManager&) = delete;

    void RegisterControl(QObject* window);
    // Withdraws the control's requests, including the answers posted to it and not yet taken.
    void UnRegisterControl(QObject* window);
    void AddNewItem(QObject* window, UINT messageId, PCItemIDList pidl, bool large, PLazyNode node,
                    std::uintptr_t data = 0);
    // Applies (through `dispatch`) every answer already posted to the window, so that they reach
    // the node while it exists, then drops the node's queued requests.
    void ClearPendingItem(QObject* window, PLazyNode node, UINT messageId,
                          const std::function<void(TMessage&)>& dispatch);
    // Drops every queued request of the window and every answer posted to it.
    void ClearPendingItems(QObject* window, UINT messageId);
    static void ReleaseItem(TImageThreadRequest* request) { delete request; }

    int QueuedCount();
    bool Running();

private:
    TIconThreadManager() = default;
    void Execute();
    void StopThread(std::unique_lock<std::mutex>& lock);
    bool Registered(QObject* window) const;

    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::unique_ptr<TImageThreadRequest>> FQueue;
    std::vector<QObject*> FControls;
    std::thread FThread;
    bool FStop = false;
    // The request being looked up, and whether it was withdrawn meanwhile.
    TImageThreadRequest* FCurrent = nullptr;
    bool FCurrentWithdrawn = false;
};
