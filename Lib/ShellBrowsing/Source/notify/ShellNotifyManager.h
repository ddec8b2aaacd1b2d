#pragma once
// TShellNotifyManager: holds batches of change events for explorer controls that cannot take
// them yet (while a control edits a name, drags or shows a menu). An explorer registers at its
// creation and leaves at its destruction; a control that got a batch it cannot handle now queues
// it here, and a timer (103 ms) hands every queued batch to all registered controls as soon as
// all of them are ready.

#include "ShellBrowsing/Source/notify/ShellEvents.h"

#include "Platform/core/Messages.h"

#include <QTimer>
#include <mutex>
#include <vector>

// What an explorer control offers the manager.
class IShellKitNotify {
public:
    virtual ~IShellKitNotify() = default;
    virtual bool IsReadyForShellEvents() = 0;
    // Receives VM_SHELLEVENTS with WParam the batch (one reference, released by the receiver).
    virtual void DeliverShellEvents(TMessage& message) = 0;
};

class TShellNotifyManager {
public:
    TShellNotifyManager();
    ~TShellNotifyManager();
    TShellNotifyManager(const TShellNotifyManager&) = delete;
    TShellNotifyManager& operator=(const TShellNotifyManager&) = delete;

    void RegisterExplorer(IShellKitNotify* control);
    void UnRegisterExplorer(IShellKitNotify* control);
    // True when every registered control is ready.
    bool OkToDispatch();
    // Takes over the caller's reference; a batch already queued (same ID) is released instead.
    void QueueEventList(TShellKitEventList* list);
    int QueuedCount();
    // Releases every queued batch.
    void Clear();

    static constexpr int TimerInterval = 103;

private:
    void TimerFired();

    std::mutex FLock;
    std::vector<IShellKitNotify*> FControls;
    std::vector<TShellKitEventList*> FQueue;
    QTimer FTimer;
};

// The process-wide manager, made on first request and freed when the library stops.
TShellNotifyManager& ShellNotifyManager();
void FreeShellNotifyManager();
