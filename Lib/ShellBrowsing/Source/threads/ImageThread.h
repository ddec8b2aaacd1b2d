#pragma once
// TShellImageThreadManager: a process-wide worker that answers questions about items which
// would stall the GUI thread (an item's icon, whether a folder has children). A control
// registers, queues requests that name an item, a node and a message, and gets each answer
// back as that message posted to it (WParam: the request, which the receiver frees with
// ReleaseItem). The worker never touches a node or a widget: the node travels only as a value.
// The worker runs from the first registered control to the last.

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

struct TImageThreadRequest {
    PItemIDList PIDL = nullptr; // owned copy of the item's absolute list
    bool Large = false;
    QObject* Window = nullptr;
    PLazyNode Node = nullptr;
    std::uintptr_t Data = 0;
    UINT MessageID = 0;
    int ImageIndex = -1;   // the icon thread's answer
    int ChildrenFound = 0; // the expand-mark thread's answer: 1 when the folder has children
    ~TImageThreadRequest();
};

class TShellImageThreadManager {
public:
    // `extract` answers one request on the worker; `newestFirst` serves the request queued last
    // first (otherwise they are served in queue order).
    TShellImageThreadManager(std::function<void(TImageThreadRequest&)> extract, bool newestFirst);
    ~TShellImageThreadManager();
    TShellImageThreadManager(const TShellImageThreadManager&) = delete;
    TShellImageThreadManager& operator=(const TShellImageThreadManager&) = delete;

    void RegisterControl(QObject* window);
    // Withdraws the control's requests, including the answers `messageId` posted to it and not
    // yet taken.
    void UnRegisterControl(QObject* window, UINT messageId);
    void AddNewItem(QObject* window, UINT messageId, PCItemIDList pidl, bool large, PLazyNode node,
                    std::uintptr_t data = 0);
    // Applies (through `dispatch`) every answer already posted to the window, so that they reach
    // the node while it exists, then drops the node's queued requests.
    void ClearPendingItem(QObject* window, PLazyNode node, UINT messageId,
                          const std::function<void(TMessage&)>& dispatch);
    // Applies (through `dispatch`) every answer already posted to the window, then drops the
    // queued requests of the nodes that `withdrawn` names; other nodes keep theirs.
    void ClearPendingItemsOf(QObject* window, UINT messageId, const std::function<bool(PLazyNode)>& withdrawn,
                             const std::function<void(TMessage&)>& dispatch);
    // Drops every queued request of the window and every answer posted to it.
    void ClearPendingItems(QObject* window, UINT messageId);
    static void ReleaseItem(TImageThreadRequest* request) { delete request; }

    int QueuedCount();
    bool Running();

private:
    void Execute();
    void StopThread(std::unique_lock<std::mutex>& lock);
    bool Registered(QObject* window) const;

    const std::function<void(TImageThreadRequest&)> FExtract;
    const bool FNewestFirst;
    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::unique_ptr<TImageThreadRequest>> FQueue;
    std::vector<QObject*> FControls;
    std::thread FThread;
    bool FStop = false;
    // The request being answered, and whether it was withdrawn meanwhile.
    TImageThreadRequest* FCurrent = nullptr;
    bool FCurrentWithdrawn = false;
};
